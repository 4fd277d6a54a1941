\ B3: a real conditional inside a counted loop.
s" common.fs" included
: b3 ( n -- ) ( F: -- r ) 0e 0 ?do fdup 0e f< if 1e f+ else 1e f- then loop ;
arg-n b3 f. cr bye

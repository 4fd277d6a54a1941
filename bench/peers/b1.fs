\ B1: counted loop of real additions.
s" common.fs" included
: b1 ( n -- ) ( F: -- r ) 0e 0 ?do 1e f+ loop ;
arg-n b1 f. cr bye

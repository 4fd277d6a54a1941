\ B2: a chain of real arithmetic per iteration.
s" common.fs" included
: b2 ( n -- ) ( F: -- r ) 1e 0 ?do 1.0000001e f* 0.5e f+ 1.5e f/ loop ;
arg-n b2 f. cr bye

\ B4: a while loop with its counter on the stack.
s" common.fs" included
fvariable limit
: b4 ( n -- ) ( F: -- r ) s>f limit f!  0e begin fdup limit f@ f< while 1e f+ repeat ;
arg-n b4 f. cr bye

\ B5: executing a small word through its execution token per iteration.
s" common.fs" included
: inc ( F: r -- r' ) 1e f+ ;
: b5 ( n -- ) ( F: -- r ) ['] inc swap 0e 0 ?do dup execute loop drop ;
arg-n b5 f. cr bye

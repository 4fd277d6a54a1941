\ The iteration count from the command line: gforth-fast bN.fs COUNT
: arg-n ( -- n ) next-arg s>number? 0= abort" bad count" d>s ;
15 set-precision

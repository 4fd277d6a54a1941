# B5: calling a small function object per iteration.
import sys
n = int(sys.argv[1])
inc = lambda v: v + 1.0
x = 0.0
for _ in range(n):
    x = inc(x)
print(repr(x))

# B2: a chain of real arithmetic per iteration.
import sys
n = int(sys.argv[1])
x = 1.0
for _ in range(n):
    x = (x * 1.0000001 + 0.5) / 1.5
print(repr(x))

# B1: counted loop of real additions.
import sys
n = int(sys.argv[1])
x = 0.0
for _ in range(n):
    x += 1.0
print(repr(x))

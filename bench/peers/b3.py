# B3: a real conditional inside a counted loop.
import sys
n = int(sys.argv[1])
x = 0.0
for _ in range(n):
    if x < 0.0:
        x += 1.0
    else:
        x -= 1.0
print(repr(x))

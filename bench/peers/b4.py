# B4: a while loop with its counter in a variable.
import sys
n = float(sys.argv[1])
x = 0.0
while x < n:
    x += 1.0
print(repr(x))

-- B4: a while loop with its counter in a variable.
local n = tonumber(arg[1]) + 0.0
local x = 0.0
while x < n do x = x + 1.0 end
print(string.format("%.17g", x))

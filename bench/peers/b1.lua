-- B1: counted loop of real additions.
local n = tonumber(arg[1])
local x = 0.0
for _ = 1, n do x = x + 1.0 end
print(string.format("%.17g", x))

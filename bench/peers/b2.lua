-- B2: a chain of real arithmetic per iteration.
local n = tonumber(arg[1])
local x = 1.0
for _ = 1, n do x = (x * 1.0000001 + 0.5) / 1.5 end
print(string.format("%.17g", x))

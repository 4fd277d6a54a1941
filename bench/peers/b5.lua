-- B5: calling a small function value per iteration.
local n = tonumber(arg[1])
local inc = function(v) return v + 1.0 end
local x = 0.0
for _ = 1, n do x = inc(x) end
print(string.format("%.17g", x))

-- B3: a real conditional inside a counted loop.
local n = tonumber(arg[1])
local x = 0.0
for _ = 1, n do
  if x < 0.0 then x = x + 1.0 else x = x - 1.0 end
end
print(string.format("%.17g", x))

-- Sum of sin(x) * cos(x) + sqrt(x) for x = i / 1000 with i from 1 to
-- 1,000,000; prints the sum times 1000 rounded to an integer.

-- Nearest integer, ties to the even one.
local function round(x)
  local f = math.floor(x)
  local d = x - f
  if d > 0.5 or (d == 0.5 and f % 2 == 1) then f = f + 1 end
  return math.tointeger(f)
end

local sin, cos, sqrt = math.sin, math.cos, math.sqrt
local s = 0.0
for i = 1, 1000000 do
  local x = i / 1000.0
  s = s + sin(x) * cos(x) + sqrt(x)
end
print(round(s * 1000.0))

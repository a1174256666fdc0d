-- 50 steps of a 3-point averaging stencil over 20,000 reals with both ends
-- held fixed; the steps go back and forth between two tables (element i at
-- index i+1).  Prints the sum of squares and the middle element, each scaled
-- and rounded to an integer.

-- Nearest integer, ties to the even one.
local function round(x)
  local f = math.floor(x)
  local d = x - f
  if d > 0.5 or (d == 0.5 and f % 2 == 1) then f = f + 1 end
  return math.tointeger(f)
end

local n = 20000
local a, b = {}, {}
for i = 0, n - 1 do
  a[i + 1] = (i % 100) + 0.0
  b[i + 1] = 0.0
end
b[1] = a[1]
b[n] = a[n]
for k = 1, 25 do
  for i = 2, n - 1 do
    b[i] = (a[i - 1] + a[i] + a[i + 1]) / 3.0
  end
  for i = 2, n - 1 do
    a[i] = (b[i - 1] + b[i] + b[i + 1]) / 3.0
  end
end
local s = 0.0
for i = 1, n do
  s = s + a[i] * a[i]
end
print(round(s * 1000.0) .. " " .. round(a[n // 2 + 1] * 1000000.0))

-- Bubble sort of 2,500 pseudo-random integers from a linear congruential
-- generator; prints the smallest and largest value, a position-weighted sum
-- and the number of pairs still out of order (0).  Element i of the sorted
-- sequence is at index i+1; the generator's products stay below 2^63.
local n = 2500
local v = {}
local x = 12345
for i = 0, n - 1 do
  x = (x * 1103515245 + 12345) % 2147483648
  v[i + 1] = x // 65536
end
for i = n - 1, 1, -1 do
  for j = 1, i do
    if v[j] > v[j + 1] then
      local t = v[j]
      v[j] = v[j + 1]
      v[j + 1] = t
    end
  end
end
local w = 0
local bad = 0
for i = 1, n do
  w = w + v[i] * i
  if i > 1 then
    if v[i - 1] > v[i] then
      bad = bad + 1
    end
  end
end
print(v[1] .. " " .. v[n] .. " " .. w .. " " .. bad)

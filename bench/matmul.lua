-- Product of two 150x150 integer matrices stored row by row in flat tables
-- (element i*n+j at index i*n+j+1); prints a weighted sum of the elements
-- of the product and two of its corners.
local n = 150
local a, b, c = {}, {}, {}
for i = 0, n - 1 do
  for j = 0, n - 1 do
    a[i * n + j + 1] = (i * j + i + 2 * j) % 7 - 3
    b[i * n + j + 1] = (i * i + 3 * j + 1) % 5 - 2
  end
end
for i = 0, n - 1 do
  for j = 0, n - 1 do
    local s = 0
    for k = 0, n - 1 do
      s = s + a[i * n + k + 1] * b[k * n + j + 1]
    end
    c[i * n + j + 1] = s
  end
end
local t = 0
for i = 1, n * n do
  t = t + c[i] * ((i - 1) % 10 + 1)
end
print(t .. " " .. c[1] .. " " .. c[n * n])

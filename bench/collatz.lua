local best, bestn = 0, 0
for n = 1, 30000 do
  local m, steps = n, 0
  while m ~= 1 do
    if m % 2 == 0 then
      m = m // 2
    else
      m = 3 * m + 1
    end
    steps = steps + 1
  end
  if steps > best then
    best, bestn = steps, n
  end
end
print(bestn, best)

-- Counts the primes up to 200,000 by trial division: each odd n is divided by
-- the odd d with d * d <= n until one divides it.
local c = 1
for n = 3, 200000, 2 do
  local primo = true
  local d = 3
  while d * d <= n do
    if n % d == 0 then
      primo = false
      break
    end
    d = d + 2
  end
  if primo then
    c = c + 1
  end
end
print(c)

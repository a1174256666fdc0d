-- Lua has no unbounded integers: the factorial is kept as limbs of base 10^7,
-- least significant first.
local BASE = 10000000
local f = {1}
for i = 2, 20000 do
  local carry = 0
  for k = 1, #f do
    local v = f[k] * i + carry
    f[k] = v % BASE
    carry = v // BASE
  end
  while carry > 0 do
    f[#f + 1] = carry % BASE
    carry = carry // BASE
  end
end
local r = 0
for k = #f, 1, -1 do
  r = (r * BASE + f[k]) % 1000000007
end
print(r)

local n = 1000000
local p = {}
for i = 0, n do p[i] = 1 end
p[0] = 0
p[1] = 0
local i = 2
while i * i <= n do
  if p[i] == 1 then
    for j = i * i, n, i do p[j] = 0 end
  end
  i = i + 1
end
local c = 0
for k = 0, n do c = c + p[k] end
print(c)

local s = ""
for i = 0, 20000 - 1 do
  s = s .. "x"
end
print(#s)

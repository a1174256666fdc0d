local s = 0.0
for i = 1, 1000000 do
  s = s + 1.0 / i
end
print(string.format("%.17g", s))

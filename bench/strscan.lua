-- Builds a 200,000-character text one character at a time, each taken
-- from a seven-letter alphabet by a fixed rule, then scans it from start to
-- end and counts two of the letters; prints the length and the two counts.
local n = 200000
local alfa = "abcdefg"
-- A table of pieces joined once by table.concat; s = s .. c is quadratic.
local parts = {}
for i = 0, n - 1 do
  local k = (i * i + 3 * i + i // 7) % 7
  parts[#parts + 1] = string.sub(alfa, k + 1, k + 1)
end
local s = table.concat(parts)
local ca = 0
local cg = 0
for i = 1, #s do
  local c = string.sub(s, i, i)
  if c == "a" then
    ca = ca + 1
  end
  if c == "g" then
    cg = cg + 1
  end
end
print(#s .. " " .. ca .. " " .. cg)

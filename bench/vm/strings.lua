-- String building by concatenation and sub.
local total = 0
for rep = 1, 5000 do
  local s = ""
  for i = 1, 200 do s = s .. sub("abcdefghij", i % 10 + 1, i % 10 + 1) end
  total = (total + #s + #sub(s, 50, 120)) % 30000
end
print(total)

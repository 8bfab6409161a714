-- Table churn: many short-lived tables with array and hash parts.
local total = 0
for rep = 1, 3000 do
  for i = 1, 1000 do
    local t = {i, i + 1, i + 2, x = i, y = rep}
    t.z = t.x + t.y
    total = (total + t[2] + t.z) % 20000
  end
end
print(total)

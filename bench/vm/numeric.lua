-- Numeric loops: 16.16 arithmetic in nested for loops (whole and fractional).
local acc = 0
for rep = 1, 20000 do
  for i = 1, 1000 do
    local x = i * 0.5 - 3
    acc = (acc + x * 2 - i / 4) % 1000
  end
end
print(acc)

-- Table fields and arrays: records read and written by constant keys and
-- an array walked by index.
local pts = {}
for i = 1, 100 do pts[i] = {x = i, y = 100 - i, dx = 1, dy = -1} end
local sum = 0
for rep = 1, 50 do for rep2 = 1, 1000 do
  for i = 1, #pts do
    local p = pts[i]
    p.x = (p.x + p.dx) % 128
    p.y = (p.y + p.dy) % 128
    sum = (sum + p.x - p.y) % 10000
  end
end end
print(sum)

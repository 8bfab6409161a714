-- A particle system: 200 particles moved through a function call each and
-- drawn through the console API (pset and circfill; no-op stand-ins when
-- they are absent, so both interpreters run the same program).
local pset = pset or function(x, y, c) end
local circfill = circfill or function(x, y, r, c) end
local parts = {}
for i = 1, 200 do
  parts[i] = {x = i % 128, y = (i * 7) % 128, vx = (i % 5 - 2) / 4, vy = (i % 3 - 1) / 2, c = i % 16}
end
local function move(p)
  p.x = p.x + p.vx
  p.y = p.y + p.vy
  if p.x < 0 or p.x > 127 then p.vx = -p.vx end
  if p.y < 0 or p.y > 127 then p.vy = -p.vy end
end
local function draw(p)
  if p.c < 8 then pset(p.x, p.y, p.c) else circfill(p.x, p.y, 1, p.c) end
end
for frame = 1, 10000 do
  for i = 1, #parts do move(parts[i]) end
  for i = 1, #parts do draw(parts[i]) end
end
local s = 0
for i = 1, #parts do s = (s + parts[i].x + parts[i].y) % 10000 end
print(s)

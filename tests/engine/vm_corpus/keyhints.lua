-- Constant string keys looked up across tables of different shapes: a key
-- remembered at one node must never be taken from another table's node that
-- holds a different key, a removed key or a dead one; tables that grow,
-- shrink or gain metatables while a loop reads them; power-of-two modulo.
local shapes = {
  {x = 1, y = 2},
  {y = 3, x = 4, z = 5},
  {a = 1, b = 2, c = 3, d = 4, x = 6},
  {x = 7},
  {},
  {z = 9, w = 8},
  {print = 1, __index = 2, x = 10, pairs = 3, setmetatable = 4},
}
local s = 0
for rep = 1, 3 do
  for i = 1, #shapes do
    local t = shapes[i]
    s = s + (t.x or 100) + (t.y or 200) + (t.z or 300)
    print(i, t.x, t.y, t.z, t.print, t.__index)
  end
end
print("sum", s)

-- The key removed and put back, and the table rehashed between reads.
local t = {x = 1, y = 2, z = 3}
for i = 1, 40 do
  if i % 3 == 0 then t.x = nil end
  if i % 5 == 0 then t.x = i end
  t["k" .. i] = i  -- grows the hash part every few steps
  if i % 7 == 0 then for j = 1, i - 1 do t["k" .. j] = nil end end
  print(i, t.x, t.y)
end

-- Many tables whose key sits in different nodes, read in turn.
local list = {}
for i = 1, 64 do
  local r = {}
  for j = 1, i % 9 do r["f" .. j] = j end
  r.val = i
  list[i] = r
end
local acc = 0
for rep = 1, 5 do
  for i = 1, #list do acc = (acc + list[i].val + (list[i].f3 or 0)) % 30000 end
end
print("acc", acc)

-- A big table: keys far past the first few hundred nodes.
local big = {}
for i = 1, 1500 do big["n" .. i] = i end
local bs = 0
for i = 1, 1500, 7 do bs = (bs + big["n" .. i]) % 30000 end
print("big", bs, big.n1, big.n1500, big.n1501)

-- __index chains where the same key is missing at some levels, and a
-- metatable given to a table in the middle of the loop.
local Base = {kind = "base", v = 1}
Base.__index = Base
local Mid = setmetatable({kind = "mid"}, Base)
Mid.__index = Mid
local obj = setmetatable({}, Mid)
local plain = {v = 5}
for i = 1, 6 do
  if i == 3 then setmetatable(plain, {__index = Mid}) end
  if i == 4 then Mid.v = 2 end
  if i == 5 then Base.kind = nil; Mid.kind = nil end
  print(i, obj.kind, obj.v, plain.kind, plain.v)
  plain.v = nil
end

-- Strings made, dropped (collected under the allocation churn) and made
-- again as keys: a new string object may reuse a freed one's memory.
for round = 1, 3 do
  local w = {}
  for i = 1, 20 do w["tmp" .. round .. "_" .. i] = i end
  for j = 1, 2000 do local junk = {j, "junk" .. j} end
  local c = 0
  for i = 1, 20 do c = c + w["tmp" .. round .. "_" .. i] end
  print("round", round, c, w.tmp1_1)
end

-- Modulo by powers of two, whole and fractional, at the edges of the range
-- (values both number types hold exactly).
local vals = {0, 1, -1, 7.5, -7.5, 32767, 32767.5, 1 / 16, -1 / 16, 100.25, -100.25, -32767.75}
local divs = {1, 2, 4, 128, 0.5, 1 / 65536, 16384, 3}
for i = 1, #vals do
  local a = vals[i]
  print(a, a % divs[1], a % divs[2], a % divs[3], a % divs[4], a % divs[5], a % divs[6], a % divs[7], a % divs[8])
end
local m = -32768
print(m % 1, m % 2, m % 4, m % 128, m % 0.5, m % (1 / 65536), m % 16384)

-- Runs of instructions the machine may take as one (two field reads of one
-- table or of one upvalue table, a field read and a comparison with a
-- number, t.k = t.k +- t.k2), with the operand kinds each run refuses:
-- absent fields, __index tables and functions, strings, metatables,
-- __newindex, a jump into a run's second instruction, and writes to a
-- table other tables read through __index.

local function move(p)
  p.x = p.x + p.vx
  p.y = p.y - p.vy
  if p.x < 0 or p.x > 10 then p.vx = -p.vx end
  if p.y <= 0 or 10 <= p.y then p.vy = -p.vy end
  if p.x == 5 then p.hits = p.hits + 1 end
end

local parts = {}
for i = 1, 12 do
  parts[i] = {x = i % 11, y = (i * 3) % 11, vx = (i % 5 - 2) / 4, vy = (i % 3 - 1) / 2, hits = 0}
end
for f = 1, 40 do
  for i = 1, #parts do move(parts[i]) end
end
for i = 1, #parts do
  local p = parts[i]
  print(i, p.x, p.y, p.vx, p.vy, p.hits)
end

-- Fields through __index: a table, then a function; a write that goes to
-- __newindex because the raw field is absent.
local proto = {vx = 1, vy = 2, hits = 0}
local a = setmetatable({x = 1, y = 9}, {__index = proto})
move(a)
print("index table", a.x, a.y, a.vx, a.vy, a.hits, proto.hits)
local b = setmetatable({y = 3, vx = 1, vy = 1, hits = 0}, {__index = function(t, k) return 4 end})
move(b)
print("index function", b.x, b.y, b.vx, b.vy, b.hits)
local log = {}
local c = setmetatable({vx = 1, vy = 1, hits = 0, y = 5},
  {__index = function(t, k) return 2 end, __newindex = function(t, k, v) log[#log + 1] = k .. "=" .. v end})
move(c)
print("newindex", c.x, c.y, #log, log[1])

-- Strings that arithmetic turns into numbers, and a string that compares
-- unequal to a number.
local s = {x = "3", y = "4", vx = "1", vy = "0.5", hits = 0}
move(s)
print("strings", s.x, s.y, type(s.x))
local named = {x = "five"}
if named.x == 5 then print("equal") else print("not equal") end

-- Values with an __add metamethod.
local vec = {}
vec.__add = function(u, v) return setmetatable({n = u.n + v.n}, vec) end
vec.__sub = function(u, v) return setmetatable({n = u.n - v.n}, vec) end
local w = {x = setmetatable({n = 1}, vec), vx = setmetatable({n = 2}, vec)}
w.x = w.x + w.vx
print("metamethod", w.x.n)

-- One field twice, and two reads whose second is absent.
local d = {x = 3, vx = 1}
d.x = d.x + d.x
d.vx = d.vx - d.vx
local e1, e2 = d.x, d.nothere
print("same field", d.x, d.vx, e1, e2)

-- A jump into the second read of a pair.
for i = 1, 4 do
  if i % 2 == 0 then local _ = d.x end
  local v = d.vx
  print("jump in", i, v)
end

-- Reads of one upvalue table (_ENV), with a global that is absent and an
-- _ENV whose __index is a function.
gx, gy = 7, 8
print("globals", gx, gy, gz)
local function env_reader(env)
  local _ENV = env
  return function() return alpha, beta end
end
local reader = env_reader(setmetatable({alpha = 1}, {__index = function(t, k) return k end}))
print("env", reader())

-- Writes to a table that others read through __index.
local class = {count = 0, step = 2}
local obj = setmetatable({}, {__index = class})
for i = 1, 3 do
  class.count = class.count + class.step
  print("class", obj.count)
end

-- A comparison whose jump leaves a block with a captured local: the jump
-- closes the upvalue.
local getters = {}
for i = 1, 5 do
  local q = {v = i}
  getters[i] = function() return q.v end
  if q.v > 2 then break end
end
print("closed", #getters, getters[1](), getters[3]())

-- Lookups through __index chains, repeated from the same instructions while
-- the chain changes under them: keys added to, changed in and removed from
-- every level, __index replaced by another table and by a function, a
-- metatable set and removed on a level, receivers that gain the key, keys
-- moved by a rehash, many short-lived classes (their tables freed and
-- their memory reused) and coroutines yielding inside the loops.
local Base = {}
Base.__index = Base
function Base.get(o) return "base" .. o.v end
function Base.kind() return "b" end
local Mid = setmetatable({}, Base)
Mid.__index = Mid
local o = setmetatable({v = 1}, Mid)

local function probe(step)
  local k = o.kind and o.kind() or "nil"
  local g = o.get and o:get() or "none"
  print(step, k, g, o.extra)
end

for step = 1, 14 do
  probe(step)
  if step == 1 then Mid.kind = function() return "m" end
  elseif step == 2 then Mid.kind = nil
  elseif step == 3 then Base.kind = function() return "b2" end
  elseif step == 4 then o.kind = function() return "own" end
  elseif step == 5 then o.kind = nil
  elseif step == 6 then
    for i = 1, 40 do Mid["filler" .. i] = i end  -- rehash: every node moves
    Base.extra = "deep"
  elseif step == 7 then Mid.__index = {kind = function() return "other" end}
  elseif step == 8 then Mid.__index = Mid
  elseif step == 9 then setmetatable(Mid, nil)
  elseif step == 10 then setmetatable(Mid, {__index = {get = function() return "alt" end, extra = "alt"}})
  elseif step == 11 then setmetatable(Mid, Base)
  elseif step == 12 then Base.__index = function(t, k) return k == "kind" and function() return "fn" end or nil end
  elseif step == 13 then Base.__index = Base
  end
end

-- Many classes of the same shape, each used then dropped; the garbage
-- between them lets freed tables' memory serve the next class.
local sum = 0
for c = 1, 3000 do
  local A = {}
  A.__index = A
  for i = 1, c % 5 do A["f" .. i] = -i end  -- shapes differ from class to class
  A.n = c
  local B = setmetatable({}, A)
  B.__index = B
  if c % 3 == 0 then B.n = -c end
  local x = setmetatable({}, B)
  for i = 1, 5 do sum = (sum + x.n) % 10000 end
end
print("classes", sum)

-- The same instruction reached with receivers of different chains.
local P = {__index = {tag = "p"}}
local Q = {__index = setmetatable({}, {__index = {tag = "q"}})}
local objs = {setmetatable({}, P), setmetatable({}, Q), {tag = "raw"}, setmetatable({}, P)}
for rep = 1, 3 do
  local line = ""
  for i = 1, #objs do line = line .. objs[i].tag .. " " end
  print(rep, line)
  if rep == 2 then getmetatable(Q.__index).__index.tag = "q2" end
end

-- Coroutines yielding between lookups while another changes the chain.
local C = {}
C.__index = C
function C.val() return 1 end
local inst = setmetatable({}, C)
local co = cocreate(function()
  local s = 0
  for i = 1, 6 do
    s = s + inst.val()
    yield()
  end
  print("co", s)
end)
for i = 1, 7 do
  coresume(co)
  if i == 3 then C.val = function() return 10 end end
end

-- Edges of the virtual machine's inline table paths: tables that change
-- shape inside a loop, metatables added and removed mid-loop, __index
-- chains of tables and functions, string keys equal to console API names.
local t = {}
local sum = 0
for i = 1, 60 do
  t[i] = i
  if i % 7 == 0 then t["k" .. i] = i end
  if i % 11 == 0 then t[i - 5] = nil end
  if i == 30 then for j = 1, 30 do t[j] = nil end end
  sum = sum + (t[i] or 0) + (t[i - 1] or 0) + #t % 3
end
print("shape", sum, #t)

local base = {}
local calls = 0
for i = 1, 40 do
  base[i % 8] = i
  if i == 10 then setmetatable(base, {__index = function(_, k) calls = calls + 1 return -1 end}) end
  if i == 20 then setmetatable(base, {__index = {[9] = 99, [10] = 100}}) end
  if i == 30 then setmetatable(base, nil) end
  sum = sum + (base[i % 12] or 0)
end
print("metatables mid-loop", sum, calls)

local stored = {}
local guarded = setmetatable({}, {__newindex = function(t, k, v) stored[#stored + 1] = k rawset_value = v end})
for i = 1, 5 do guarded[i] = i guarded.x = i end
print("newindex", #stored, guarded.x, guarded[1])

local a = {x = 1, y = 4}
local b = setmetatable({y = 2}, {__index = a})
local c = setmetatable({z = 3}, {__index = b})
local d = setmetatable({}, {__index = function(_, k) return k .. "!" end})
local e = setmetatable({}, {__index = c})
local s = 0
for i = 1, 20 do
  s = s + e.x + e.y + e.z + c.x
  if i == 10 then a.x = 10 b.y = nil end
  if i == 15 then getmetatable(b).__index = {x = 5, y = 7} end
end
print("index chain", s, d.abc, e.w)

local loop = setmetatable({}, {})
getmetatable(loop).__index = loop
print("self index", coresume(cocreate(function() return loop.nothing end)))

local api = {pset = 1, circfill = 2, sub = 3, print = 4, flip = 5}
local g = 0
for i = 1, 10 do
  for k, v in pairs(api) do g = g + v end
  api.pset = api.pset + 1
  api["sub"] = api.sub * 2 % 1000
end
print("api names", g, api.pset, api.sub, api.print)

local mt = {__index = function(t, k) return k * 2 end, __len = function() return 42 end}
local proxy = setmetatable({}, mt)
local n = 0
for i = 1, 10 do n = n + proxy[i] end
print("index function", n, #proxy)

local words = {}
for i = 1, 30 do words[#words + 1] = sub("abcdefghijklmnopqrstuvwxyz", i % 26 + 1, i % 26 + 3) end
local joined = ""
for i = 1, #words do joined = joined .. words[i] end
print("strings", #joined, sub(joined, 1, 12))

local eq1 = setmetatable({}, {__eq = function() return true end})
local eq2 = setmetatable({}, getmetatable(eq1))
print("eq", eq1 == eq2, eq1 == {}, "a" == "a", 1 == 1, nil == false)

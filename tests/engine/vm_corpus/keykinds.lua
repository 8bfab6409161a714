-- Every key kind through both orders of the inline table paths: constant
-- keys that are numbers, long strings or booleans (the string-first path
-- falls through to them), register keys that are strings (the number-first
-- path falls through), under __index and __newindex, and nil or NaN-free
-- edge numbers at the array part's ends.
local long = "a key longer than forty characters, so not interned at all"
local t = {10, 20, 30, [0] = 5, [-1] = 4, [2.5] = 25, [32767] = 7, x = 1, [true] = "yes", [long] = "long"}
local s = 0
for rep = 1, 3 do
  t[1] = t[1] + 1
  t[2.5] = t[2.5] + 1
  t[0] = t[0] - 1
  t[32767] = t[32767] * 2 % 1000
  t[long] = t[long] .. rep
  t[true] = not t[true]
  s = s + t[1] + t[2.5] + t[0] + t[-1] + t[32767] + t[3]
end
print(s, t[1], t[2.5], t[0], t[-1], t[32767], t[true], t[false], t[long], #t)

local keys = {"x", "y", 1, 2, 2.5, long, true, "z"}
local r = {x = 0, y = 0, z = 0}
for rep = 1, 4 do
  for i = 1, #keys do
    local k = keys[i]
    r[k] = (r[k] or 0) == 0 and i or nil
    print(rep, i, r[k], r.x, r.y, r[1], r[2.5])
  end
end

local log = {}
local base = {x = "bx", [1] = "b1", [long] = "blong", [true] = "btrue"}
local mt = {
  __index = base,
  __newindex = function(tb, k, v) log[#log + 1] = v end,
}
local proxy = setmetatable({}, mt)
for i = 1, 2 do
  local k1, k2 = "x", 1
  print(proxy.x, proxy[1], proxy[long], proxy[true], proxy[k1], proxy[k2], proxy.nothing, proxy[2])
  proxy.x = i
  proxy[1] = i
  proxy[long] = i
  proxy[true] = i
  proxy[k1] = -i
  setmetatable(proxy, nil)  -- a raw store, then the hooks again
  proxy[2] = i
  setmetatable(proxy, mt)
end
print(#log, log[1], log[5], log[10], proxy[2])

local function try(f)
  local co = cocreate(f)
  print(coresume(co))
end
try(function() local u = {} u[nil] = 1 end)
try(function() local u = {} local k u[k] = 1 end)
try(function() local u = {} return u[nil] end)
try(function() local n = nil return n.x end)
try(function() local n = 5 n[1] = 2 end)

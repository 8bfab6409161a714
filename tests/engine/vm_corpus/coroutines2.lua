-- coroutines: nesting, yields inside metamethods and iterators, errors
-- after yields, statuses from every side
local trace = {}
local function log(s) trace[#trace + 1] = s end
-- a yield inside a nested coroutine returns to its own resumer only
local inner, outer
inner = cocreate(function()
  log("i1 " .. costatus(outer))
  yield()
  log("i2")
end)
outer = cocreate(function()
  log("o1")
  coresume(inner)
  log("o2 " .. costatus(inner))
  yield()
  coresume(inner)
  log("o3 " .. costatus(inner))
end)
coresume(outer)
log("m1 " .. costatus(outer))
coresume(outer)
log("m2 " .. costatus(outer))
for i = 1, #trace do print(trace[i]) end
-- yields inside metamethods of every kind
local mt = {}
mt.__add = function(a, b) yield(); return a.v + b end
mt.__lt = function(a, b) yield(); return a.v < b.v end
mt.__le = function(a, b) yield(); return a.v <= b.v end
mt.__eq = function(a, b) yield(); return a.v == b.v end
mt.__concat = function(a, b) yield(); return "c" .. b end
mt.__len = function(a) yield(); return 42 end
mt.__unm = function(a) yield(); return -a.v end
mt.__index = function(t, k) yield(); return k .. "!" end
mt.__newindex = function(t, k, v) yield(); rawset_log = k end
mt.__call = function(self, p) yield(); return p * 2 end
local function obj(v) return setmetatable({v = v}, mt) end
local co = cocreate(function()
  local a, b = obj(1), obj(2)
  local r = {}
  r[1] = a + 10
  r[2] = a < b
  r[3] = a <= b
  r[4] = a == obj(1)
  r[5] = a .. "x"
  r[6] = #a
  r[7] = -b
  r[8] = a.zz
  a.nn = 5
  r[9] = rawset_log
  r[10] = a(21)
  r[11] = not (b < a)
  return r
end)
local steps = 0
local ok, res
repeat
  steps = steps + 1
  local rr = {coresume(co)}
  ok, res = rr[1], rr[2]
until costatus(co) == "dead"
print(steps, ok, res[1], res[2], res[3], res[4], res[5], res[6], res[7], res[8], res[9], res[10], res[11])
-- a Lua iterator that yields between elements
local function iter(t)
  local i = 0
  return function()
    i = i + 1
    yield()
    return t[i]
  end
end
local g = cocreate(function()
  local s = 0
  for v in iter({5, 6, 7}) do s = s + v end
  return s
end)
local rounds = 0
local last
while costatus(g) ~= "dead" do
  local rr = {coresume(g)}
  last = rr[2]
  rounds = rounds + 1
end
print(rounds, last)
-- an error after several yields, caught by the resumer
local e = cocreate(function()
  for i = 1, 3 do yield() end
  local t = nil
  return t.field
end)
for i = 1, 5 do print(i, coresume(e)) end
print(costatus(e))
-- errors inside a nested coroutine do not kill the outer one
local host = cocreate(function()
  local c = cocreate(function() yield(); return nil + 1 end)
  print("n1", coresume(c))
  yield()
  print("n2", coresume(c))
  print("n3", coresume(c))
  return "host done"
end)
print(coresume(host))
print(coresume(host))
print(costatus(host))
-- resuming the running or a normal coroutine
local self_co
self_co = cocreate(function()
  local child = cocreate(function() return coresume(self_co) end)
  return coresume(child)
end)
print(coresume(self_co))
-- resume arguments become the results of yield
local echo = cocreate(function(a)
  local b, c = yield()
  local d = yield()
  return a, b, c, d
end)
coresume(echo, 1)
coresume(echo, 2, 3)
print(coresume(echo, 4))
print(coresume(echo, 5))
-- a coroutine that yields inside a pairs loop over a table with a __pairs
local pp = setmetatable({}, {__pairs = function(t)
  return function(_, k) k = (k or 0) + 1; if k <= 3 then return k, k * 10 end end, t, nil
end})
local pc = cocreate(function()
  local s = 0
  for k, v in pairs(pp) do yield(); s = s + v end
  return s
end)
local out
while costatus(pc) ~= "dead" do local rr = {coresume(pc)}; out = rr[2] end
print(out)
-- a yield inside __pairs itself crosses a host call: an error
local bad = setmetatable({}, {__pairs = function(t) yield(); return function() end, t, nil end})
print(coresume(cocreate(function() for k in pairs(bad) do end end)))

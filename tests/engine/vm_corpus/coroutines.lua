-- coroutines: create, resume, status, yield without values, errors, nesting
local log = {}
local co = cocreate(function(a, b)
  log[#log + 1] = a + b
  yield()
  log[#log + 1] = "second"
  yield()
  return 7, 8
end)
print(costatus(co))
print(coresume(co, 1, 2))
print(costatus(co), log[1])
print(coresume(co))
print(coresume(co))
print(costatus(co))
print(coresume(co))
-- generators through a shared variable
local cur
local gen = cocreate(function()
  for i = 1, 5 do cur = i * i; yield() end
end)
local acc = 0
while true do
  coresume(gen)
  if costatus(gen) == "dead" then break end
  acc = acc + cur
end
print(acc)
-- status inside and nested coroutines
local outer
outer = cocreate(function()
  print("inside", costatus(outer))
  local inner = cocreate(function()
    print("outer from inner", costatus(outer))
    yield()
    print("inner resumed")
  end)
  coresume(inner)
  yield()
  coresume(inner)
  print("inner", costatus(inner))
end)
coresume(outer)
print("outer", costatus(outer))
coresume(outer)
print("outer", costatus(outer))
-- errors inside coroutines
local bad = cocreate(function() local x = nil; return x.y end)
print(coresume(bad))
print(costatus(bad), coresume(bad))
local bad2 = cocreate(function() yield(); local t = {} ; return t + 1 end)
print(coresume(bad2))
print(coresume(bad2))
local bad3 = cocreate(function() assert(false, "boom") end)
print(coresume(bad3))
local bad4 = cocreate(function() assert(nil) end)
print(coresume(bad4))
-- resuming a running coroutine
local selfres
selfres = cocreate(function() print(coresume(selfres)) end)
coresume(selfres)
-- deep nesting
local function nest(n)
  if n == 0 then return 0 end
  local c = cocreate(function() return nest(n - 1) + 1 end)
  local ok, v = coresume(c)
  return v
end
print(nest(50))
-- yield from a metamethod
local mt = {__index = function(t, k) yield(); return k * 2 end}
local yc = cocreate(function() local t = setmetatable({}, mt); return t[21] end)
print(coresume(yc))
print(coresume(yc))
-- yield across pairs' iterator
local it = cocreate(function()
  local s = 0
  for k, v in pairs({10, 20, 30}) do s = s + v; yield() end
  return s
end)
local r = {coresume(it)}
while costatus(it) ~= "dead" do r = {coresume(it)} end
print(r[1], r[2])

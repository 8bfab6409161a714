-- Coroutines yielding from inside loops that run the inline paths (table
-- reads and writes, calls, arithmetic), resumed to the end: the values
-- seen after each resumption and the instruction count must not change.
local function worker(n)
  local t = {}
  for i = 1, n do
    t[i] = i * 2
    t["f" .. i % 4] = (t["f" .. i % 4] or 0) + i
    if i % 5 == 0 then yield(i) end
  end
  local s = 0
  for i = 1, #t do s = s + t[i] end
  return s + t.f0 + t.f1
end
local co = cocreate(worker)
local steps = 0
while true do
  local ok, v = coresume(co, 23)
  steps = steps + 1
  if costatus(co) == "dead" then print("done", ok, v, steps) break end
end

local gen = {}
for k = 1, 4 do
  gen[k] = cocreate(function()
    local obj = setmetatable({}, {__index = {step = k}})
    for i = 1, 6 do obj[i] = obj.step * i yield() end
    return #obj
  end)
end
local alive = 4
local rounds = 0
while alive > 0 do
  alive = 0
  for k = 1, 4 do
    if costatus(gen[k]) ~= "dead" then coresume(gen[k]) alive = alive + 1 end
  end
  rounds = rounds + 1
end
print("interleaved", rounds)

local nested = cocreate(function()
  local inner = cocreate(function() for i = 1, 3 do yield() end return "inner" end)
  local r
  repeat local ok, v = coresume(inner) r = v yield() until costatus(inner) == "dead"
  return r
end)
local last
repeat local ok, v = coresume(nested) last = v until costatus(nested) == "dead"
print("nested", last)

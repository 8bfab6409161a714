-- Closures, upvalues, coroutines and their stacks, deep recursion, varargs.
gcstop()
heap("start")
local function mk(n) return function() n = n + 1 return n end end
local cs = {}
for i = 1, 20 do cs[i] = mk(i) end
heap("20 closures with an upvalue")
local same = {}
for i = 1, 20 do same[i] = function() return 1 end end
heap("20 reused closures")
print(same[1] == same[20])
local co = cocreate(function(a)
  local t = {}
  for i = 1, 10 do t[i] = i yield() end
  return #t
end)
heap("coroutine made")
coresume(co, 1)
heap("coroutine started")
for i = 1, 12 do coresume(co) end
heap("coroutine finished")
local function deep(n) if n == 0 then return 0 end return 1 + deep(n - 1) end
print(deep(150))
heap("after deep recursion")
local function va(...) local t = {...} return #t end
print(va(1, 2, 3, 4, 5, 6, 7, 8))
heap("varargs packed")
local cos = {}
for i = 1, 10 do cos[i] = cocreate(function() local x = {} yield() return x end) coresume(cos[i]) end
heap("10 suspended coroutines")
cos = nil cs = nil co = nil
collect()
heap("after a full collection")
local function rec(n) if n > 0 then return rec(n - 1) end return 0 end
for i = 1, 3 do rec(300) end
heap("tail calls")
local big = cocreate(function() print(deep(180)) end)
coresume(big)
heap("deep recursion in a coroutine")
big = nil
collect()
heap("end")

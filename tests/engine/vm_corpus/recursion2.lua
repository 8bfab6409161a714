-- deep recursion: stack growth, tail calls, recursion through metamethods
-- and coroutines, overflows caught by coresume
local function depth(n) if n == 0 then return 0 end return depth(n - 1) + 1 end
print(depth(20000))
local function sum(n, ...) if n == 0 then return 0 end return n + sum(n - 1, ...) end
print(sum(250, 1, 2, 3))
local function tail(n) if n == 0 then return "tail done" end return tail(n - 1) end
print(tail(30000))
local function deep_locals(n)
  local a, b, c, d, e, f, g, h = 1, 2, 3, 4, 5, 6, 7, 8
  if n == 0 then return a + h end
  return deep_locals(n - 1) + b - 2
end
print(deep_locals(5000))
-- unbounded recursion: "stack overflow" caught by the resumer
local function forever(n) return 1 + forever(n + 1) end
local ok, msg = coresume(cocreate(function() return forever(1) end))
print(ok, msg)
-- the same thread works again afterwards
print(depth(100))
-- recursion through __index of depth 100
local chain = setmetatable({}, {__index = function(t, k) if k == 0 then return 0 end return t[k - 1] + 1 end})
print(chain[100])
-- too many nested host calls: "C stack overflow"
local ok2, msg2 = coresume(cocreate(function() return chain[400] end))
print(ok2, msg2)
-- recursion across coroutines
local function nest(n)
  if n == 0 then return 0 end
  local ok3, v = coresume(cocreate(function() return nest(n - 1) + 1 end))
  return v
end
print(nest(100))
-- mutual recursion with a closure per level
local function build(n)
  if n == 0 then return function() return 0 end end
  local below = build(n - 1)
  return function() return below() + 1 end
end
print(build(500)())

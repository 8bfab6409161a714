-- every metamethod event
local V = {}
V.__index = V
local function vec(x, y) return setmetatable({x = x, y = y}, V) end
V.__add = function(a, b) return vec(a.x + b.x, a.y + b.y) end
V.__sub = function(a, b) return vec(a.x - b.x, a.y - b.y) end
V.__mul = function(a, b)
  if type(a) == "number" then return vec(a * b.x, a * b.y) end
  if type(b) == "number" then return vec(a.x * b, a.y * b) end
  return a.x * b.x + a.y * b.y
end
V.__div = function(a, b) return vec(a.x / b, a.y / b) end
V.__mod = function(a, b) return vec(a.x % b, a.y % b) end
V.__pow = function(a, b) return vec(a.x ^ b, a.y ^ b) end
V.__unm = function(a) return vec(-a.x, -a.y) end
V.__concat = function(a, b)
  if type(a) == "table" then a = "(" .. a.x .. "," .. a.y .. ")" end
  if type(b) == "table" then b = "(" .. b.x .. "," .. b.y .. ")" end
  return a .. b
end
V.__len = function(a) return a.x + a.y end
V.__eq = function(a, b) return a.x == b.x and a.y == b.y end
V.__lt = function(a, b) return a.x < b.x end
V.__le = function(a, b) return a.x <= b.x end
V.__call = function(self, k) return self.x * k, self.y * k end
function V:sum() return self.x + self.y end
local a, b = vec(1, 2), vec(3, 4)
local c = a + b
print(c.x, c.y, (a - b).x, (a * b), (a * 2).y, (3 * b).x)
print((b / 1).x, (vec(7, 9) % 4).y, (a ^ 2).y, (-a).x)
print(a .. b, a .. "!", "v=" .. a, 1 .. a)
print(#a, #b, a == vec(1, 2), a == b, a ~= b)
print(a < b, a <= b, a > b, a >= b, b < a)
print(a(10))
print(a:sum(), b:sum())
-- __index and __newindex as tables and functions
local log = {}
local proxy = setmetatable({}, {
  __index = function(t, k) log[#log + 1] = "get " .. k; return k .. "!" end,
  __newindex = function(t, k, v) log[#log + 1] = "set " .. k end,
})
print(proxy.foo, proxy.bar)
proxy.z = 1
print(#log, log[1], log[3])
local base = {greet = "hi"}
local mid = setmetatable({}, {__index = base})
local top = setmetatable({}, {__index = mid})
print(top.greet, top.none)
local store = {}
local w = setmetatable({}, {__newindex = store})
w.a = 5
print(w.a, store.a)
-- __metatable protection
local prot = setmetatable({}, {__metatable = "locked"})
print(getmetatable(prot))
print(getmetatable({}) == nil)
-- __pairs
local pp = setmetatable({}, {__pairs = function(t)
  local i = 0
  return function() i = i + 1; if i <= 3 then return i, i * i end end, t, nil
end})
local s = 0
for k, v in pairs(pp) do s = s + k * 100 + v end
print(s)
-- __eq only called for two tables
local e1 = setmetatable({}, {__eq = function() return true end})
print(e1 == {}, e1 == 1, e1 ~= {})
-- __lt fallback for __le
local L = {__lt = function(a, b) return a.v < b.v end}
local l1, l2 = setmetatable({v = 1}, L), setmetatable({v = 2}, L)
print(l1 <= l2, l2 <= l1)
print(type(getmetatable(setmetatable({}, V))))

-- metamethods: mixed operand types, inheritance chains, __call forms,
-- __eq rules, __le fallback, __index/__newindex as functions and tables
local log = {}
local function note(s) log[#log + 1] = s end
local M = {}
M.__add = function(a, b) note("add"); return 100 end
M.__sub = function(a, b) note("sub"); return 101 end
M.__mul = function(a, b) note("mul"); return 102 end
M.__div = function(a, b) note("div"); return 103 end
M.__mod = function(a, b) note("mod"); return 104 end
M.__pow = function(a, b) note("pow"); return 105 end
M.__unm = function(a) note("unm"); return 106 end
M.__concat = function(a, b) note("cat"); return "cat" end
M.__len = function(a) note("len"); return 107 end
M.__lt = function(a, b) note("lt"); return true end
M.__le = function(a, b) note("le"); return false end
local o = setmetatable({}, M)
print(o + 1, 1 + o, o - "2", "2" - o, o * o, 3 / o, o % 2, 2 ^ o, -o)
print(o .. "s", "s" .. o, 1 .. o, o .. 2, #o)
print(o < 1, 1 < o, o <= 1, 1 <= o, o > 1, o >= 1, "a" < o)
print(#log, log[1], log[#log])
-- strings with arithmetic use coercion before metamethods
print("10" + 1, "3" * "4", -"2")
-- __eq: only for two tables (or two userdata) with the same handler
local E1 = {__eq = function(a, b) return true end}
local E2 = {__eq = function(a, b) return true end}
local x, y, z = setmetatable({}, E1), setmetatable({}, E1), setmetatable({}, E2)
print(x == y, x == z, x ~= y, x == 1, x == "x", x == nil)
local shared = function() return true end
local S1, S2 = {__eq = shared}, {__eq = shared}
print(setmetatable({}, S1) == setmetatable({}, S2))
-- __le falls back to not __lt with swapped operands
local O = {__lt = function(a, b) return a.v < b.v end}
local p, q = setmetatable({v = 1}, O), setmetatable({v = 2}, O)
print(p <= q, q <= p, p <= p, p >= q)
-- __index chains through tables and functions
local base = {a = "base a"}
local mid = setmetatable({b = "mid b"}, {__index = base})
local top = setmetatable({}, {__index = function(t, k) return mid[k] or ("none " .. k) end})
print(top.a, top.b, top.c)
-- __newindex to a table and to a function; existing keys bypass it
local store = {}
local w = setmetatable({present = 1}, {__newindex = store})
w.present = 2; w.fresh = 3
print(w.present, w.fresh, store.fresh, store.present)
local seen = {}
local f = setmetatable({}, {__newindex = function(t, k, v) seen[#seen + 1] = k .. "=" .. v end})
f.a = 1; f[2] = 3
print(#seen, seen[1], seen[2], f.a)
-- __call with extra arguments and several results, and as an iterator
local C = setmetatable({}, {__call = function(self, a, b) return a + b, a - b, self end})
local r1, r2, r3 = C(7, 3)
print(r1, r2, r3 == C)
local counter = setmetatable({n = 0}, {__call = function(self) self.n = self.n + 1; if self.n <= 3 then return self.n end end})
local sum = 0
for v in counter do sum = sum + v end
print(sum)
-- __call on a __call value is not followed
local inner = setmetatable({}, {__call = function() return "inner" end})
local outerc = setmetatable({}, {__call = inner})
print(inner(), coresume(cocreate(function() return outerc() end)))
-- __len on strings is not consulted; on tables it is
print(#"abc", #setmetatable({1, 2, 3}, {__len = function() return -1 end}))
-- __unm and __len get the operand twice
local twice = setmetatable({}, {__unm = function(a, b) return a == b end, __len = function(a, b) return a == b end})
print(-twice, #twice)
-- __concat with several operands associates to the right
local Cat = {__concat = function(a, b)
  local sa = type(a) == "table" and "T" or a
  local sb = type(b) == "table" and "T" or b
  return sa .. sb
end}
local ct = setmetatable({}, Cat)
print("a" .. ct .. "b" .. 1 .. ct)
-- __index on a metatable's metatable is not consulted for operators
local deep = setmetatable({}, setmetatable({}, {__index = {__add = function() return 1 end}}))
print(coresume(cocreate(function() return deep + 1 end)))
-- getmetatable with __metatable, setmetatable refusing a protected one
local prot = setmetatable({}, {__metatable = false})
print(getmetatable(prot), coresume(cocreate(function() setmetatable(prot, nil) end)))

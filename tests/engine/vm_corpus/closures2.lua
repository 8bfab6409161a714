-- closures: identity of closures without fresh upvalues, loops, nesting
local fs = {}
for i = 1, 3 do fs[i] = function() return 1 end end
print(fs[1] == fs[2], fs[2] == fs[3])
local gs = {}
for i = 1, 3 do gs[i] = function() return i end end
print(gs[1] == gs[2], gs[1](), gs[3]())
local shared = 0
local hs = {}
for i = 1, 3 do hs[i] = function() shared = shared + 1; return shared end end
print(hs[1] == hs[2], hs[1](), hs[2](), hs[3]())
local function mk() return function() end end
print(mk() == mk())
local x = 5
local function getx() return function() return x end end
print(getx() == getx(), getx()())
-- upvalues closed at break and at the end of each iteration
local acc = {}
for i = 1, 10 do
  local j = i * 2
  acc[#acc + 1] = function() j = j + 1; return j end
  if i == 4 then break end
end
print(#acc, acc[1](), acc[1](), acc[4]())
-- while loop with a fresh local each iteration
local ws = {}
local n = 0
while n < 4 do
  n = n + 1
  local v = n
  ws[n] = function(d) v = v + d; return v end
end
print(ws[1](10), ws[2](10), ws[1](1), ws[4](0))
-- repeat-until sees the body's locals, closures capture them
local rs = {}
local k = 0
repeat
  k = k + 1
  local kk = k * k
  rs[k] = function() return kk end
until kk >= 16
print(#rs, rs[2](), rs[4]())
-- three levels of nesting sharing one upvalue
local function level1()
  local c = 0
  local function level2()
    local function level3() c = c + 1; return c end
    return level3
  end
  return level2(), level2(), function() return c end
end
local a1, a2, get = level1()
a1(); a2(); a1()
print(get())
-- closures as counters in a table of objects
local function account(balance)
  local self = {}
  function self.deposit(v) balance = balance + v end
  function self.withdraw(v) if v > balance then return false end balance = balance - v; return true end
  function self.balance() return balance end
  return self
end
local acc1, acc2 = account(100), account(5)
acc1.deposit(50)
print(acc1.withdraw(120), acc2.withdraw(10), acc1.balance(), acc2.balance())
-- recursive local function through its upvalue
local function fact(m) if m <= 1 then return 1 end return m * fact(m - 1) end
print(fact(7))
-- a closure over a loop control variable of a numeric for with step
local st = {}
for i = 10, 1, -3 do st[#st + 1] = function() return i end end
print(#st, st[1](), st[4]())
-- closures over parameters and varargs
local function bind(f, ...)
  local args = {...}
  return function() return f(args[1], args[2]) end
end
print(bind(function(p, q) return p - q end, 9, 4)())

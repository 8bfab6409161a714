-- closures, upvalues, shared and closed upvalues
local function counter()
  local n = 0
  return function() n = n + 1; return n end, function() return n end
end
local inc, get = counter()
inc(); inc(); inc()
print(get())
local inc2, get2 = counter()
inc2()
print(get(), get2())
local fs = {}
for i = 1, 5 do fs[i] = function() return i * 10 end end
print(fs[1](), fs[3](), fs[5]())
local gs = {}
local j = 1
while j <= 3 do
  local k = j
  gs[j] = function() k = k + 100; return k end
  j = j + 1
end
print(gs[1](), gs[1](), gs[2](), gs[3]())
local function outer()
  local a = 1
  local function mid()
    local b = 2
    local function inner() a = a + 1; b = b + 1; return a + b end
    return inner
  end
  return mid(), function() return a end
end
local f, ga = outer()
print(f(), f(), ga())
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print(fib(15))
local function compose(f1, f2) return function(...) return f1(f2(...)) end end
local add1 = function(x) return x + 1 end
local dbl = function(x) return x * 2 end
print(compose(add1, dbl)(5), compose(dbl, add1)(5))
do
  local x = 5
  local function setx(v) x = v end
  setx(9)
  print(x)
end

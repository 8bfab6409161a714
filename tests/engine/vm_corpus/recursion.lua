-- recursion: deep non-tail recursion, mutual recursion, tail calls
local function depth(n) if n == 0 then return 0 end return 1 + depth(n - 1) end
print(depth(5000))
local even, odd
function even(n) if n == 0 then return true end return odd(n - 1) end
function odd(n) if n == 0 then return false end return even(n - 1) end
print(even(100), odd(7), even(7))
local function loop(n) if n == 0 then return "done" end return loop(n - 1) end
print(loop(30000))
local function ack(m, n)
  if m == 0 then return n + 1 end
  if n == 0 then return ack(m - 1, 1) end
  return ack(m - 1, ack(m, n - 1))
end
print(ack(2, 3), ack(3, 3))
local function hanoi(n, a, b, c)
  if n == 0 then return 0 end
  return hanoi(n - 1, a, c, b) + 1 + hanoi(n - 1, c, b, a)
end
print(hanoi(10, 1, 2, 3))
local memo = {}
local function fib(n)
  if n < 3 then return 1 end
  if memo[n] then return memo[n] end
  local v = fib(n - 1) + fib(n - 2)
  memo[n] = v
  return v
end
print(fib(22))
local t = setmetatable({}, {__index = function(t, k) if k <= 1 then return 1 end return t[k - 1] + 1 end})
print(t[150])

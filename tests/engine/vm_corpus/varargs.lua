-- varargs, multiple results, tail calls
local function count(...) return #{...} end
local function pass(...) return ... end
local function three() return 1, 2, 3 end
print(count(), count(1), count(1, 2, 3), count(three()))
print(pass(1, 2, 3))
print(three(), three())
print((three()))
print(#{three(), three()})
local t = {three()}
print(#t, t[1], t[3])
local a, b, c, d = three()
print(a, b, c, d)
local function first(x, ...) return x end
local function rest(x, ...) return ... end
print(first(9, 8, 7), rest(9, 8, 7))
local function sum(...)
  local s = 0
  for _, v in pairs({...}) do s = s + v end
  return s
end
print(sum(1, 2, 3, 4, 5))
local function tail(n, acc) if n == 0 then return acc end return tail(n - 1, acc + n) end
print(tail(200, 0))
local function va2(...)
  local x, y = ...
  return y, x
end
print(va2(1, 2, 3))
print(pass())
print(pass(nil, nil))
local function mr() return end
print(mr())
print(1, mr(), 2)
print(#{pass(1, 2, 3)})

-- varargs: nils inside and at the end, many values, main chunk varargs
local function n(...) local t = {...}; return #t end
local function pack(...) return {...} end
print(n(nil), n(1, nil), n(nil, nil, 3))
local p = pack(1, nil, 3, nil)
print(p[1], p[2], p[3], p[4])
local function many(...) return ... end
local t = {many(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
  21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,
  41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60)}
print(#t, t[1], t[51], t[60])
local function mid(...) return ..., "end" end
print(mid(1, 2, 3))
print((many(4, 5, 6)))
local function count_nils(...)
  local a, b, c, d = ...
  return a, b, c, d
end
print(count_nils(1))
print(count_nils(1, 2, 3, 4, 5))
-- varargs of the main chunk: none
local main = {...}
print(#main)
-- passing through several levels
local function l3(...) return select_like(2, ...) end
function select_like(i, ...)
  local args = {...}
  return args[i]
end
local function l2(...) return l3(...) end
local function l1(...) return l2(...) end
print(l1("a", "b", "c"))
-- varargs in a method call and a tail call
local obj = {k = 10}
function obj:add(...) local s = self.k; for _, v in pairs({...}) do s = s + v end; return s end
print(obj:add(1, 2, 3), obj:add())
local function tail(...) return many(...) end
print(tail(7, 8, 9))
-- a vararg function with fixed parameters missing
local function fixed(a, b, ...) return a, b, n(...) end
print(fixed())
print(fixed(1, 2, 3, 4))
-- a table constructor with a vararg in the middle keeps one value
local m = {many(1, 2, 3), many(4, 5, 6)}
print(#m, m[1], m[2], m[4])
-- a varargs function called with 250 values
local function sum(...)
  local s = 0
  local a = {...}
  for i = 1, #a do s = s + a[i] end
  return s, #a
end
local big = {}
for i = 1, 250 do big[i] = i % 10 end
local function unpack_like(t, i) i = i or 1; if i <= #t then return t[i], unpack_like(t, i + 1) end end
print(sum(unpack_like(big)))

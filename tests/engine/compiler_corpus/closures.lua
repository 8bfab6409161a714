-- closures, upvalues, varargs, goto
local function counter()
  local n = 0
  return function() n = n + 1; return n end
end
local function outer(a)
  local b = a
  local function mid()
    local c = b
    return function() return a + b + c + counter()() end
  end
  return mid
end
local t = {}
for i = 1, 3 do t[i] = function() return i end end
for k, v in pairs(t) do t[k] = function() return k, v end end
do
  local x = 1
  t.f = function() x = x + 1 return x end
end
while true do
  local y = 1
  t.g = function() return y end
  if y then break end
end
repeat
  local z = 2
  t.h = function() return z end
until z
local function va(...)
  local a, b = ...
  local c = select(2, ...)
  return ..., a, b
end
local function va2(...) return {...}, #{...} end
local function va3(...) local t = {n = select('#', ...), ...} return t end
for i = 1, 3 do
  for j = 1, 3 do
    if j == 2 then goto continue end
    t[i * j] = i
    ::continue::
  end
end
do
  goto skip
  local q = 1
  ::skip::
end
::top::
local u = 1
if u then u = nil goto top end
do
  local v = 1
  local function cl() return v end
  goto out
end
::out::
local function deep()
  local a = 1
  return function()
    return function()
      return function() a = a + 1 return a end
    end
  end
end
return counter, outer, va, va2, va3, deep

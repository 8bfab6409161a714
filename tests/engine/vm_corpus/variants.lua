-- Every operand shape the arithmetic, comparison and field instructions
-- take (register and register, register and number constant, number
-- constant and register, short-string constant keys) with operands that are
-- not plain numbers or tables: numeric strings, non-numeric strings,
-- metamethods, errors, and metamethods that yield inside a coroutine.
local mt = {}
mt.__add = function(a, b) return "add" end
mt.__sub = function(a, b) return "sub" end
mt.__mul = function(a, b) return "mul" end
mt.__div = function(a, b) return "div" end
mt.__mod = function(a, b) return "mod" end
mt.__lt = function(a, b) return true end
mt.__le = function(a, b) return false end
mt.__eq = function(a, b) return true end
mt.__index = function(t, k) return "idx:" .. k end
local stored = {}
mt.__newindex = function(t, k, v) stored[k] = v .. "!" end
local obj = setmetatable({}, mt)

local function try(f, ...)
  local co = cocreate(f)
  print(coresume(co, ...))
end

local function ops(x, y)
  print(x + y, x - y, x * y, x / y, x % y)          -- register, register
  print(x + 3, x - 3, x * 3, x / 0.5, x % 3)        -- register, constant
  print(x + 0.5, x % 0.25, x / 4, x % 8)
  print(x < 5, x <= 5, 5 < x, 5 <= x, x == 5, x ~= 5)
  print(x < y, x <= y, 2 > x, 2 >= x)
end

local values = {7, -7, 0, 100, -100, 0.5, "12", " 3 ", "0x10", "abc", true, {}, obj, print}
for i = 1, #values do try(ops, values[i], 2) end
try(ops, obj, obj)
try(function() return obj < 1, 1 < obj, obj <= 1, 1 <= obj, obj == 1 end)
try(function() return "a" < 1 end)
try(function() return 1 <= "a" end)
try(function() local s = "x" return s < "y", s <= "w", 1 == "1" end)

-- Field access with short-string constant keys on every kind of receiver.
local rec = {x = 1, y = 2}
local function fields(t)
  local a = t.x
  t.y = a
  return a, t.y, t:len_or_nil()
end
rec.len_or_nil = function(self) return self.x end
try(fields, rec)
try(fields, obj)
try(fields, 5)
try(fields, nil)
try(fields, setmetatable({}, {__index = rec}))
print(obj.y, stored.y)
G_FIELD = 5
G_FIELD = G_FIELD + 1
print(G_FIELD)
try(function() return undefined_global.x end)

-- Metamethods of the variant instructions yielding inside a coroutine:
-- the interrupted instruction completes on resumption.
local ymt = {}
ymt.__add = function(a, b) print("in add") yield() return 40 end
ymt.__lt = function(a, b) print("in lt") yield() return false end
ymt.__le = function(a, b) print("in le") yield() return true end
ymt.__index = function(t, k) print("in index " .. k) yield() return 9 end
local yobj = setmetatable({}, ymt)
local co = cocreate(function()
  local s = yobj + 2
  local r = yobj + yobj
  local c1 = yobj < 3
  local c2 = 3 <= yobj  -- resumed, the instruction reads its constant left operand
  local f = yobj.field
  local n = 0
  for i = 1, 3 do if yobj < i then n = n + 1 end end
  return s, r, c1, c2, f, n
end)
while costatus(co) ~= "dead" do print(coresume(co)) end

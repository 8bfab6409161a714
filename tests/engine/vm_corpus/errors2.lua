-- error values and messages caught by coresume: variable kinds in
-- messages, error values that are not strings, errors in metamethods,
-- errors after yields and in nested coroutines
local function try(f, ...)
  local co = cocreate(f)
  local r = {coresume(co, ...)}
  print(r[1], type(r[2]), r[2])
end
local up = nil
try(function() return up.x end)
try(function() return up + 1 end)
try(function() up() end)
local t = {}
try(function() return t.a.b end)
try(function() return t.a + 1 end)
try(function() t.m() end)
try(function() t:m() end)
try(function() return t[1][2] end)
try(function() return glob.x end)
try(function() glob() end)
try(function() return #up end)
try(function() return -up end)
try(function() return up .. "x" end)
try(function() return "x" .. t end)
try(function() return 1 < t end)
try(function() return t < t end)
try(function() return "a" < 1 end)
try(function() return up <= 1 end)
try(function() return ("s")() end)
try(function() return (1)() end)
try(function() return true + 1 end)
try(function() local a = "x"; return a * 2 end)
try(function() return "10" + "y" end)
try(function() t[nil] = 1 end)
try(function() for i = 1, "x" do end end)
-- assert with messages of several types
try(function() assert(false, 12) end)
try(function() assert(false, {}) end)
try(function() assert(nil, nil) end)
try(function() assert(false, "text") end)
try(function() return assert(1, 2, 3) end)
-- errors raised inside metamethods
local bad = setmetatable({}, {
  __index = function(t, k) return nil + k end,
  __add = function(a, b) return a.missing.field end,
  __call = function() local x; x() end,
})
try(function() return bad.x end)
try(function() return bad + 1 end)
try(function() return bad() end)
-- errors after yields and in nested coroutines
local co = cocreate(function()
  yield()
  local inner = cocreate(function() local q; return q.z end)
  local ok, msg = coresume(inner)
  yield()
  return ok, msg, costatus(inner)
end)
print(coresume(co))
print(coresume(co))
print(coresume(co))
print(coresume(co))
-- wrong arguments to the library functions
try(function() return sub() end)
try(function() return sub("x", "y") end)
try(function() return setmetatable() end)
try(function() return getmetatable() end)
try(function() return coresume(1) end)
try(function() return costatus() end)
try(function() return pairs() end)
try(function() return type() end)

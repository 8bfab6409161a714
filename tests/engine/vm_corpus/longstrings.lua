-- strings longer than 40 bytes: equality by content, table keys, comparison
local a = "0123456789abcdefghijklmnopqrstuvwxyz0123456789"
local b = "0123456789abcdefghij" .. "klmnopqrstuvwxyz0123456789"
print(#a, a == b, a ~= b, a < b .. "!", b .. "" == a)
local t = {}
t[a] = 1
print(t[b], t[a .. ""], t[sub(a, 1, 45)])
t[b] = 2
local n = 0
for k, v in pairs(t) do n = n + v end
print(n, t[a])
local parts = {}
for i = 1, 30 do parts[i] = sub(a, i, i + 15) .. sub(a, 1, 30) end
local seen = {}
local distinct = 0
for i = 1, 30 do
  if not seen[parts[i]] then seen[parts[i]] = true; distinct = distinct + 1 end
end
print(distinct)
local mt = {__index = function(t, k) return #k end}
local u = setmetatable({}, mt)
print(u[a], u[b .. b])
local long = ""
for i = 1, 20 do long = long .. a end
print(#long, sub(long, 460, 470), long == string_nil)

-- Concatenation results on both sides of the short/long string boundary
-- (40 bytes): interned short results equal their literals and find their
-- table keys; long results compare by text; numbers and empty pieces mix in.
local a20 = "abcdefghijklmnopqrst"
local parts = {"", "x", "xy", a20, a20 .. "uvwxyzABCDEFGHIJKLM", a20 .. a20}
local t = {}
for i = 1, #parts do
  for j = 1, #parts do
    local s = parts[i] .. parts[j]
    local u = parts[i] .. 7 .. parts[j] .. 0.5
    t[s] = (t[s] or 0) + 1
    print(i, j, #s, #u, s == parts[i] .. parts[j], sub(u, -6))
  end
end
local n = 0
for k, v in pairs(t) do n = n + v end
print("keys", n, t[a20 .. a20], t[a20], t[""], t["x" .. "xy"])
local long1 = a20 .. a20 .. "!"
local long2 = a20 .. (a20 .. "!")
print(#long1, long1 == long2, long1 < long2, long1 .. "" == long2)
local acc = ""
for i = 1, 60 do acc = acc .. (i % 10) end
print(#acc, sub(acc, 38, 44), acc == acc .. "")
local mt = {__concat = function(x, y) return "cat" end}
local obj = setmetatable({}, mt)
print(a20 .. a20 .. obj, obj .. a20 .. a20, "p" .. 1 .. obj)

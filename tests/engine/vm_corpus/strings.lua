-- strings: concatenation, coercion, length, sub
local s = "hello"
print(s .. " " .. "world", #s, #"")
print(1 .. 2, "n" .. 42, 10 .. "", -5 .. "x")
print("10" + 5, "3" * "4", 10 - "2", "0x10" + 0, " 7 " + 1)
print(sub(s, 2, 4), sub(s, -3), sub(s, 2), sub(s, 0), sub(s, 10), sub(s, -100, 2), sub(s, 3, 2))
local parts = {}
for i = 1, 10 do parts[#parts + 1] = sub("abcdefghij", i, i) end
local r = ""
for i = #parts, 1, -1 do r = r .. parts[i] end
print(r, #r)
local long = ""
for i = 1, 50 do long = long .. i end
print(#long, sub(long, 1, 20))
print(type(s), type(1), type(nil), type({}), type(print), type(true), type(cocreate(function() end)))
print("a\tb", "quote\"d", 'single', [[long
string]], "\65\066\x43", "x\z
      y")

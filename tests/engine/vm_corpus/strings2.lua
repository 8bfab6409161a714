-- strings: sub at every edge, embedded zeros, escapes, comparison,
-- coercion both ways, long and short strings as keys
local s = "abcdef"
for i = -8, 8, 2 do
  print(i, sub(s, i), sub(s, i, i), sub(s, i, -i), sub(s, 1, i))
end
print(sub(s, 3, 2), sub(s, 7), sub(s, 0, 0), sub("", 1), sub(s, -1, -1), sub(s, 2, 100))
print(sub(s, "2", "3"), sub(12345, 2, 3), sub(s, 2.0))
local z = "a\0b\0c"
print(#z, z == "a\0b\0c", z < "a\0c", "a\0" > "a", sub(z, 3, 3) == "b")
print("\97\98\99", "\x41\x42", "tab\tend", "a\
b", "\z
       joined", '\'', "\"", "\\")
print(#"\255\0\1", "\065" .. "\066")
print("a" < "b", "a" < "aa", "" < "a", "B" < "a", "abc" <= "abc", "abd" > "abc", "Z" >= "a")
print("10" == 10, "10" + 0 == 10, 10 .. "" == "10")
print("0x1A" + 0, "  12  " * 2, "1e2" + 1, "-7" + 0, ".5" * 4)
print(1 .. "", -1 .. "", 32767 .. "", -32768 .. "", 0 .. 0, 10 .. 20 .. 30)
local parts = {}
for i = -3, 3 do parts[#parts + 1] = i .. "" end
local joined = ""
for i = 1, #parts do joined = joined .. parts[i] .. "," end
print(joined)
-- strings as keys: short, long, built at run time
local t = {}
local long1 = "this string is longer than forty characters for sure"
local long2 = "this string is longer than forty " .. "characters for sure"
t[long1] = 1
t["key"] = 2
print(t[long2], t["k" .. "ey"], t[sub(long1, 1, 4)])
-- repeated concatenation and length
local acc = ""
for i = 1, 100 do acc = acc .. sub("0123456789", i % 10 + 1, i % 10 + 1) end
print(#acc, sub(acc, 1, 12), sub(acc, -5))
-- string comparisons by bytes above 127
print("\200" > "\100", "\128a" < "\128b")
-- numbers in concatenation keep their text form
local n = 7
print(n .. n, n * 2 .. "", (n .. "") + 1, #(n .. n .. n))

-- tables with array and hash parts: # borders, growth, holes and rehash
local function len(t) return #t end
print(len({}), len({nil}), len({1, nil}), len({nil, 2}), len({1, 2, nil, 4}), len({1, nil, nil, 4}))
print(len({1, 2, 3, nil}), len({nil, nil, 3}), len({n = 1}), len({1, 2, x = 3, 4}))
local t = {}
t[1] = 1; t[2] = 2; t[4] = 4
print(#t)
t[3] = 3
print(#t)
t[5] = 5; t[6] = 6; t[8] = 8
print(#t)
t[7] = 7
print(#t)
t[#t] = nil
print(#t)
for i = #t, 1, -1 do t[i] = nil end
print(#t)
-- a table filled backwards lives in the hash part until a rehash
local b = {}
for i = 20, 1, -1 do b[i] = i end
print(#b, b[1], b[20])
b[21] = 21
print(#b)
-- mixed keys force rehashes that move integer keys into the array part
local m = {}
for i = 1, 40 do m["k" .. i] = i; m[i] = i end
print(#m, m[40], m.k40)
for i = 1, 40, 2 do m[i] = nil end
local c = 0
for k, v in pairs(m) do c = c + 1 end
print(c)
-- zero, negative and large keys stay in the hash part
local z = {[0] = 0, [-1] = -1, [1] = 1, [2] = 2, [1000] = 1000}
print(#z, z[0], z[-1], z[1000])
-- holes in a constructor with a trailing multiple-value call
local function three() return 1, nil, 3 end
local h = {three()}
print(#h, h[1], h[2], h[3])
local h2 = {three(), three()}
print(#h2, h2[1], h2[2], h2[4])
-- appending with #t + 1 after removals
local q = {}
for i = 1, 10 do q[#q + 1] = i * 2 end
q[#q] = nil; q[#q] = nil
q[#q + 1] = 99
print(#q, q[9], q[8])
-- a large constructor flushed in several batches
local big = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
  21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,
  41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60,
  61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80,
  81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100,
  101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120}
print(#big, big[50], big[51], big[101], big[120])
-- sparse power-of-two keys
local p = {}
for i = 0, 10 do p[2 ^ i] = i end
print(#p, p[1], p[2], p[1024])
-- numeric string keys are not numbers
local s = {}
s["1"] = "str"; s[1] = "num"
print(#s, s["1"], s[1])
-- booleans and tables as keys next to an array part
local k1, k2 = {}, {}
local mix = {10, 20, 30, [true] = "t", [k1] = "k1"}
mix[k2] = "k2"
print(#mix, mix[true], mix[k1], mix[k2], mix[false])
-- length of a table whose array part was shrunk by a rehash
local r = {}
for i = 1, 64 do r[i] = i end
for i = 1, 63 do r[i] = nil end
r.x = 1; r.y = 2; r.z = 3
local n = 0
for k in pairs(r) do n = n + 1 end
print(n, r[64])

-- tables: array and hash parts, growth, holes filled, border, traversal sums
local t = {}
for i = 1, 100 do t[i] = i end
print(#t, t[1], t[50], t[100], t[101])
local s = 0
for k, v in pairs(t) do s = s + v end
print(s)
for i = 1, 100 do t[i] = nil end
print(#t)
local h = {a = 1, b = 2, c = 3, [10] = 4, [-1] = 5, [0] = 6, [2.5] = 7}
local ks, vs = 0, 0
for k, v in pairs(h) do vs = vs + v end
print(vs, h.a, h[10], h[-1], h[0], h[2.5], h[2])
local m = {1, 2, 3, x = "y", [4] = 4, 5}
print(#m, m[4], m.x)
local big = {}
for i = 1, 2000 do big[i] = i % 7 end
local c = 0
for i = 1, #big do c = c + big[i] end
print(#big, c)
local back = {}
for i = 300, 1, -1 do back[i] = i end
print(#back, back[1], back[300])
local nested = {{1, 2}, {3, {4, 5}}}
print(nested[2][2][1], #nested, #nested[2])
local keys = {}
keys[true] = "t"; keys[false] = "f"
local f = function() end
keys[f] = "fn"
keys[keys] = "self"
print(keys[true], keys[false], keys[f], keys[keys])
local sparse = {}
sparse[1] = 1; sparse[2] = 2; sparse[3] = 3
print(#sparse)
local str = {}
for i = 1, 50 do str["k" .. i] = i end
local tot = 0
for k, v in pairs(str) do tot = tot + v end
print(tot, str.k1, str.k50, str.k51)
local cnt = 0
for k in pairs({}) do cnt = cnt + 1 end
print(cnt)
local t2 = {10, 20, 30}
t2[#t2 + 1] = 40
t2[#t2 + 1] = 50
print(#t2, t2[5])
local grow = {}
for i = 1, 64 do grow[i * 2] = i end
local gs = 0
for k, v in pairs(grow) do gs = gs + k end
print(gs)

-- Tables of every shape: the charged bytes and the engine's count after
-- each step (collector stopped, as while a cartridge runs).
gcstop()
heap("start")
local t = {}
heap("empty table")
local keep = {}
for i = 1, 40 do keep[i] = {} end
heap("40 empty tables")
local a = {1, 2, 3, 4, 5}
heap("array constructor")
local h = {x = 1, y = 2, z = 3}
heap("hash constructor")
local m = {1, 2, 3, x = 1, y = 2}
heap("mixed constructor")
for i = 1, 100 do t[i] = i end
heap("grown to 100 by append")
for i = 1, 100 do t[i] = nil end
heap("cleared")
t.x = 1
heap("one hash key after clearing")
local s = {}
for i = 1, 64 do s["k" .. i] = i end
heap("64 string keys")
local r = {}
for i = 100, 1, -1 do r[i] = i end
heap("filled backwards")
local f = {}
for i = 1, 50 do f[i + 0.5] = i end
heap("50 fractional keys")
local n = {}
for i = -20, 20 do n[i] = i end
heap("negative and zero keys")
local b = {[true] = 1, [false] = 2}
heap("boolean keys")
local tk = {}
for i = 1, 30 do tk[keep[i]] = i end
heap("table keys")
local big = {}
for i = 1, 2000 do big[i] = i end
heap("2000 elements")
for i = 1, 2000, 2 do big[i] = nil end
big.a = 1
heap("half cleared, then a key")
local w = setmetatable({}, {__mode = "k"})
heap("weak table")
local mt = {__index = function(t, k) return k end}
for i = 1, 20 do setmetatable(keep[i], mt) end
heap("metatables set")
local list = {}
for i = 1, 300 do list[#list + 1] = {i, i * 2, name = "n"} end
heap("300 small records")
list = nil big = nil r = nil
collect()
heap("after a full collection")
gcrestart()
for rep = 1, 200 do local x = {rep, rep, rep, a = rep} end
heap("churn with the collector running")
collect()
heap("end")

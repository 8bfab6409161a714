-- Strings short and long, concatenation, conversions, interning.
gcstop()
heap("start")
local s = "abc"
heap("literal")
local parts = {}
for i = 1, 50 do parts[i] = "item" .. i end
heap("50 short strings")
local long = ""
for i = 1, 60 do long = long .. "0123456789" end
heap("600-byte string by concatenation")
local l2 = long .. long
heap("1200-byte string")
local subs = {}
for i = 1, 40 do subs[i] = sub(long, i, i + 45) end
heap("40 long substrings")
local nums = {}
for i = 1, 30 do nums[i] = i / 3 .. "" end
heap("30 numbers as text")
local same = {}
for i = 1, 30 do same[i] = "item" .. (i % 5) end
heap("interned repeats")
local c = "a" .. 1 .. "b" .. 2.5 .. "c" .. "d" .. "e"
heap("multi-part concatenation")
parts = nil subs = nil long = nil l2 = nil
collect()
heap("after a full collection")
gcrestart()
local acc = 0
for rep = 1, 300 do local x = "row" .. rep .. ":" .. rep * 2 acc = acc + #x end
heap("string churn with the collector running")
print(acc)
collect()
heap("end")

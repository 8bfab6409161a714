-- whole numbers as text: printing and concatenation across the range,
-- arithmetic at its edges, numeric for loops with every kind of step
print(0, 1, -1, 32767, -32768, 0x7fff, 0x10, 1e3, 0xA, 007)
print(1 .. 2, -1 .. -2, 32767 .. "|" .. -32768, 0 .. "", 1e2 .. "")
print(32766 + 1, -32767 - 1, 16384 * 2 - 1, -16384 * 2, 181 * 181)
print(7 % 3, -7 % 3, 0 % 5, 6 % 3, -6 % 3, 32767 % 10)
print(2 ^ 14, 2 ^ 0, 3 ^ 3, (-2) ^ 3, 10 / 2, -10 / 5, 0 / 7)
print(-(-5), - -5, -(3 - 8), 5 - -5)
print(10 == 10.0, 1 < 2, -1 < 0, -32768 < 32767, 32767 > -32768)
local steps = {}
for i = 1, 3 do steps[#steps + 1] = i end
for i = 3, 1, -1 do steps[#steps + 1] = i end
for i = -5, 5, 5 do steps[#steps + 1] = i end
for i = 0, -10, -4 do steps[#steps + 1] = i end
for i = 1, 1 do steps[#steps + 1] = i end
for i = 2, 1 do steps[#steps + 1] = i end
for i = "1", "3" do steps[#steps + 1] = i end
for i = 32760, 32767, 3 do steps[#steps + 1] = i end
local s = ""
for k = 1, #steps do s = s .. steps[k] .. " " end
print(#steps, s)
-- a loop variable modified in the body does not change the iteration
local c = 0
for i = 1, 5 do i = i * 10; c = c + i end
print(c)
-- whole numbers as table keys and through string conversion
local t = {}
t[3] = "three"; t["3"] = "string three"
print(t[3], t["3"], t[1 + 2], t[6 / 2], t["" .. 3])
-- numbers from strings keep their value
print("32767" + 0, "-32768" + 0, "0x7FFF" + 0, " 42" - 2, "1" .. 2 + 3)
-- comparisons and equality of numbers written differently
print(0x10 == 16, 1e1 == 10, 100 == 1e2, "10" == 10, 2 ^ 3 == 8)

-- integer arithmetic, comparisons and precedence
local a, b = 17, 5
print(a + b, a - b, a * b, a % b, -a % b, -a)
print(a == b, a ~= b, a < b, a <= b, a > b, a >= b)
print(2 ^ 10, 3 ^ 4, 100 / 4, 6 / 3)
print(1 + 2 * 3 - 4, (1 + 2) * (3 - 4), 7 - -3, - -7)
local x = 0
for i = 1, 100 do x = x + i end
print(x)
local y = 1
for i = 1, 7 do y = y * 3 end
print(y)
print(not nil, not 0, not false, nil == false)
print(1 and 2, nil and 2, false or 3, nil or false, 0 or 9)
local t = {}
print(t == t, {} == {}, "a" == "a", "a" < "b", "abc" < "abd", "Z" < "a", "" < "a")
print(3 <= 3, "x" <= "x", 10 > 9, "10" < "9")

-- operators, precedence, constant folding
local a, b, c = 1, 2, 3
local r
r = a + b * c - a / b % c ^ 2
r = -a ^ 2
r = not a == b
r = a .. b .. c .. "d" .. 1
r = (a .. b) .. c
r = a < b and b <= c or a > c and b >= a or a ~= b and c == a
r = #"abc" + #{}
r = - - a
r = not not a
r = a and b or c
r = a or b and c
r = (a or b) and c
r = nil and a
r = false or a
r = true and a
r = 1 and 2
r = nil or false
r = 2 + 3 * 4 - 10 / 4
r = 2 ^ 3 ^ 2
r = 7 % 3
r = -7 % 3
r = 1 / 0
r = 1 % 0
r = 0 / 0
r = 10 / 2
r = 3 - -2
r = -(1 + 2)
r = -(-3)
r = 1 + a
r = a + 1
r = a * 2 + b * 3
r = "a" .. "b"
r = 1 < 2
r = a == nil
r = nil == a
r = a == true
r = a ~= false
r = 0.5 + 0.25
r = 0x10 + 0xff + 0xA.8
r = 1e3 + 2.5e-1 + 3E2
r = .5 + 5.
r = 100 * 100
r = 255 * 256
r = 1 + 2 .. 3
r = a + b + c + a * b * c
r = ((a))
r = {a, b, c; d = 1, [e] = 2, f(), ...}
r = {f()}
r = {...}
r = {f(), nil}
r = {[1] = 1, [2] = 2, x = {y = {z = 1}}}
r = function(...) return ... end
r = function(x, y, ...) local t = {...} return select('#', ...) end
r = a.b.c.d
r = a["b"]["c"]
r = a[b][c]
r = a[1][2.5]["x"][true]
if a and b then r = 1 end
if a or b then r = 1 end
if not a then r = 1 end
if not (a and b) then r = 1 end
if a == 1 and b ~= 2 or c < 3 then r = 1 end
if a then else r = 2 end
while not a do end
local x = a and (b or c) and (not d or e)
local y = (a < b) == (c < d)
local z = a.x or {}
return a, b, c

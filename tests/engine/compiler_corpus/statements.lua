-- every statement form
local a
local b, c = 1
local d, e, f = 1, 2, 3, 4
local g = ...
local h, i = ...
x = 1
x, y = y, x
a, b, c = f()
t = {}
t.a, t.b, t[1] = 1, 2, 3
t[a], a = a, t[a]
a, t[a] = 1, 2
do local z = 1; z = z + 1 end
while x < 10 do x = x + 1 end
while true do if x then break end end
repeat x = x - 1 until x <= 0
repeat local q = x; x = q until q
for i = 1, 10 do y = i end
for i = 10, 1, -1 do y = i end
for i = a, b, c do local w = i end
for k in pairs(t) do end
for k, v in next, t do y = v end
for k, v, w in f() do end
if a then b = 1 end
if a then b = 1 else b = 2 end
if a then b = 1 elseif c then b = 2 elseif d then b = 3 else b = 4 end
if a then goto l1 end
while a do if a then break end end
::l1::
function gf(p) return p end
function t.m(p) return p end
function t.a.b.c(p) return p end
function t:method(p) return self, p end
local function lf(n) if n > 0 then return lf(n - 1) end return 0 end
f()
f(1, 2, 3)
f(g())
f(a, g())
f "str"
f {1, 2}
t:method(1)
t.a:method()
t.a.b:c "s" {1} (2)
;;;
return

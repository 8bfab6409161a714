-- listing layout: every comment kind, numbers in 16.16 text form
local t = {1, 2.5, "s", x = 0.1, [true] = nil}
t.y = t.x + 1 / 3
print(t[1] .. "\n", 7 % 2, 2 ^ 0.5)
for i = 10, 1, -0.25 do t[i] = i end
for k, v in pairs(t) do break end
local function f(...) local a = ... return function() return a end end
goto done
::done::

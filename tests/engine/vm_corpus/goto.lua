-- goto, labels, break, nested loops, repeat-until scoping
for i = 1, 3 do
  for j = 1, 3 do
    if j == 2 then goto continue end
    print(i, j)
    ::continue::
  end
end
local n = 0
::top::
n = n + 1
if n < 5 then goto top end
print(n)
local k = 0
while true do
  k = k + 1
  if k > 10 then break end
end
print(k)
local r = 0
repeat
  local x = r * 2
  r = r + 1
until x >= 10
print(r)
do
  local fs = {}
  local i = 1
  ::again::
  local v = i * 3
  fs[i] = function() return v end
  i = i + 1
  if i <= 3 then goto again end
  print(fs[1](), fs[2](), fs[3]())
end
for i = 10, 1, -3 do print(i) end
for i = 1, 0 do print("never") end
for i = 5, 5 do print("once", i) end
local steps = 0
for i = 1, 3, 1 do for j = i, 3 do steps = steps + 1 end end
print(steps)

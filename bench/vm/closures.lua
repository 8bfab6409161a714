-- Closure creation and upvalue traffic.
local function counter()
  local n = 0
  return function(d) n = (n + d) % 20000 return n end
end
local s = 0
for rep = 1, 200 do for i = 1, 10000 do
  local c = counter()
  c(i % 7) c(3)
  s = (s + c(1)) % 30000
end end
print(s)

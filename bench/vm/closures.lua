-- Closure creation and upvalue traffic.
local function counter()
  local n = 0
  return function(d) n = (n + d) % 20000 return n end
end
local s = 0
for i = 1, 200000 do
  local c = counter()
  c(i % 7) c(3)
  s = (s + c(1)) % 30000
end
print(s)

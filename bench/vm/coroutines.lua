-- Coroutines: generators resumed and yielding inside loops.
local function gen(n)
  return cocreate(function()
    for i = 1, n do yield() end
  end)
end
local total = 0
for rep = 1, 20000 do
  local co = gen(100)
  while coresume(co) and costatus(co) ~= "dead" do total = (total + 1) % 30000 end
end
print(total)

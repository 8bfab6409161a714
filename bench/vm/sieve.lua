-- Sieve of Eratosthenes up to 16000 (i + i stays below 32768), repeated.
local count
for rep = 1, 800 do
  local flags = {}
  for i = 2, 16000 do flags[i] = true end
  count = 0
  for i = 2, 16000 do
    if flags[i] then
      count = count + 1
      local j = i + i
      while j <= 16000 do flags[j] = false; j = j + i end
    end
  end
end
print(count)

-- The collector running by itself: when it runs (finalizers, weak entries,
-- the closure cache) follows the engine's byte count.
heap("start")
local log = {}
local finalized = 0
local gcmt = {__gc = function(o) finalized = finalized + 1 end}
local weak = setmetatable({}, {__mode = "v"})
local marks = {}
local last = nil
for i = 1, 4000 do
  local t = setmetatable({i, i, i, x = i}, gcmt)
  weak[i % 50 + 1] = {i}
  local f = function() return 1 end
  if f ~= last then marks[#marks + 1] = i last = f end
  if i % 250 == 0 then
    local live = 0
    for k, v in pairs(weak) do live = live + 1 end
    print(i, finalized, live)
  end
end
print("closure cache dropped at", #marks)
local s = ""
for i = 1, #marks do s = s .. marks[i] .. " " end
print(s)
heap("after the loop")
collect()
heap("after a full collection")
print("finalized", finalized)
local strs = {}
for i = 1, 2000 do strs[i % 10 + 1] = "s" .. i end
heap("end")

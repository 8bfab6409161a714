-- goto: continue in every loop kind, backward jumps with fresh locals,
-- jumps out of nested blocks that close upvalues
local out = {}
local i = 0
while i < 6 do
  i = i + 1
  if i % 2 == 0 then goto continue end
  out[#out + 1] = i
  ::continue::
end
print(#out, out[1], out[2], out[3])
local r = 0
repeat
  r = r + 1
  if r == 2 then goto skip end
  out[#out + 1] = r * 10
  ::skip::
until r >= 3
print(#out, out[4], out[5])
for k, v in pairs({1, 2, 3, 4}) do
  if v == 2 then goto next end
  out[#out + 1] = v * 100
  ::next::
end
print(#out)
-- backward goto creating a fresh local (and closure) each round
local fs = {}
do
  local n = 0
  ::again::
  local captured = n
  fs[#fs + 1] = function() return captured end
  n = n + 1
  if n < 4 then goto again end
end
print(#fs, fs[1](), fs[4]())
-- jumping out of nested loops closes upvalues of the inner blocks
local saved
for a = 1, 3 do
  for b = 1, 3 do
    local prod = a * b
    saved = function() prod = prod + 1; return prod end
    if prod == 4 then goto done end
  end
end
::done::
print(saved(), saved())
-- nested functions may reuse label names
local function f()
  local c = 0
  ::l::
  c = c + 1
  if c < 3 then goto l end
  local function g()
    local d = 0
    ::l::
    d = d + 2
    if d < 10 then goto l end
    return d
  end
  return c, g()
end
print(f())
-- a label at the end of a block lets a goto skip to it past locals
do
  goto finish
  local unused = 1
  ::finish::
end
print("after finish")
-- a state machine written with gotos
local input = {1, 0, 1, 1, 0}
local pos, ones = 0, 0
::read::
pos = pos + 1
if pos > #input then goto stop end
if input[pos] == 1 then goto one end
goto read
::one::
ones = ones + 1
goto read
::stop::
print(ones)

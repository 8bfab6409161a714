-- Writes a random program whose numbers stay whole and small (every value
-- is reduced modulo 97 after each operation), so that the stock 5.2
-- interpreter and the 16.16 engine must agree on its output and on the
-- number of instructions it executes.
-- usage: lua5.2 vm_randprog.lua SEED > program.lua
local seed = tonumber(arg[1]) or 1
math.randomseed(seed)
local R = math.random
local out = {}
local function emit(depth, s) out[#out + 1] = string.rep("  ", depth) .. s end
local nvars = 6
local function var() return "v" .. R(1, nvars) end
local function atom()
  local k = R(1, 4)
  if k == 1 then return tostring(R(-20, 90)) end
  if k == 2 then return "t[" .. R(1, 12) .. "]" end
  return var()
end
local function expr()
  local ops = {"+", "-", "*", "%"}
  local op = ops[R(1, #ops)]
  if op == "%" then return "(" .. atom() .. " % " .. R(1, 50) .. ")" end
  return "((" .. atom() .. " " .. op .. " " .. atom() .. ") % 97)"
end
local function cond()
  local cmp = {"<", "<=", ">", ">=", "==", "~="}
  return atom() .. " " .. cmp[R(1, #cmp)] .. " " .. atom()
end
local nfuncs = 0
local block
local function statement(depth)
  local k = R(1, 12)
  if k <= 3 then
    emit(depth, var() .. " = " .. expr())
  elseif k == 4 then
    emit(depth, "t[" .. R(1, 12) .. "] = " .. expr())
  elseif k == 5 and depth < 3 then
    emit(depth, "if " .. cond() .. " then")
    block(depth + 1, R(1, 3))
    if R(1, 2) == 1 then emit(depth, "else") block(depth + 1, R(1, 2)) end
    emit(depth, "end")
  elseif k == 6 and depth < 3 then
    local i = "i" .. depth
    emit(depth, "for " .. i .. " = " .. R(-3, 3) .. ", " .. R(-3, 8) .. ", " .. ({1, 1, 2, -1})[R(1, 4)] .. " do")
    emit(depth + 1, var() .. " = (" .. var() .. " + " .. i .. ") % 97")
    block(depth + 1, R(1, 3))
    emit(depth, "end")
  elseif k == 7 then
    emit(depth, "s = s .. " .. var() .. " if #s > 40 then s = sub(s, -10) end")
  elseif k == 8 then
    emit(depth, "print(" .. var() .. ", " .. expr() .. ", #s, sub(s, 2, 6))")
  elseif k == 9 and nfuncs > 0 then
    emit(depth, var() .. " = f" .. R(1, nfuncs) .. "(" .. atom() .. ", " .. atom() .. ")")
  elseif k == 10 then
    emit(depth, "do local n = 0 for k, v in pairs(t) do n = (n + k * v) % 997 end " .. var() .. " = n % 97 end")
  elseif k == 11 then
    emit(depth, "coresume(co) " .. var() .. " = (shared + " .. var() .. ") % 97")
  else
    emit(depth, "w = 0 while w < " .. R(0, 4) .. " do w = w + 1 " .. var() .. " = " .. expr() .. " end")
  end
end
function block(depth, n) for _ = 1, n do statement(depth) end end
emit(0, "local t = {}")
emit(0, "for i = 1, 12 do t[i] = i * 7 % 97 end")
emit(0, "local s, w, shared = '', 0, 0")
for i = 1, nvars do emit(0, "local v" .. i .. " = " .. R(-20, 90)) end
for f = 1, R(1, 3) do
  nfuncs = f
  emit(0, "local function f" .. f .. "(a, b)")
  emit(1, "if a < b then return ((a * 3 + b) % 97) end")
  emit(1, "return ((a - b * " .. R(1, 5) .. ") % 97)")
  emit(0, "end")
end
emit(0, "local co = cocreate(function() while true do shared = (shared + 7) % 97 yield() end end)")
block(0, R(8, 20))
emit(0, "print(v1, v2, v3, v4, v5, v6, s, shared)")
print(table.concat(out, "\n"))

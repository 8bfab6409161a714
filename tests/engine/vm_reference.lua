-- Runs a program under the stock interpreter the way `orbotool lua --count`
-- runs it under ours: the console's library names mapped onto the standard
-- library, then a count hook of one instruction installed for the program.
-- The stock debug library keeps one hook function per thread, so every
-- coroutine gets the counting hook registered when it is created; the
-- instructions of that wrapper are taken off the total.
local n, made = 0, 0
local function hook() n = n + 1 end
local sethook, create = debug.sethook, coroutine.create
local WRAPPER_COST = 9
sethook(hook, "", 1)
local hooks = debug.getregistry()._HKEY
sethook()
cocreate = function(f)
  local co = create(f)
  hooks[co] = hook
  made = made + 1
  return co
end
coresume = coroutine.resume
costatus = coroutine.status
sub = string.sub
yield = coroutine.yield
trace = debug.traceback
local chunk = assert(loadfile(arg[1]))
n = 0
sethook(hook, "", 1)
chunk()
sethook()
-- The four instructions that call the chunk and remove the hook are ours.
io.stderr:write("instructions: ", n - 4 - WRAPPER_COST * made, "\n")

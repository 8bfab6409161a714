-- strings and long brackets
local s1 = "plain" .. 'single' .. "esc\a\b\f\n\r\t\v\\\"\'"
local s2 = "\x41\x42\65\066\0067\255\0end"
local s3 = "zap \z
            continued"
local s4 = [[long
string with ]] .. [==[ nested ]] ]=] ]==]
local s5 = [[
first newline skipped]]
--[[ long
comment ]] local s6 = 1
--[==[ another
]] still comment
]==]
local s7 = "line\
break"
local s8 = #"12345" .. s1:upper()
local s9 = ("x"):rep(3)
local long = "0123456789012345678901234567890123456789012345678901234567890123456789"
local long2 = "0123456789012345678901234567890123456789012345678901234567890123456789"
return s1, s2, s3, s4, s5, s6, s7, s8, s9, long, long2

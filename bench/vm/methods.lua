-- Method calls through a metatable __index chain.
local Base = {}
Base.__index = Base
function Base.new(v) return setmetatable({v = v}, Base) end
function Base:get() return self.v end
function Base:add(n) self.v = (self.v + n) % 10000 end
local Derived = setmetatable({}, {__index = Base})
Derived.__index = Derived
function Derived.new(v) return setmetatable({v = v}, Derived) end
function Derived:twice() self:add(self:get()) end
local o = Derived.new(1)
for rep = 1, 400 do for i = 1, 10000 do o:twice() o:add(1) end end
print(o:get())

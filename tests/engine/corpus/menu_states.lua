-- title / play / pause / gameover state machine
states={}
cur=nil

function go(name)
 cur=states[name]
 if (cur.enter) cur.enter()
end

states.title={
 sel=1,
 items={"start","options","credits"},
 enter=function() music(0) end,
 update=function()
  local s=states.title
  if (btnp(2)) s.sel-=1
  if (btnp(3)) s.sel+=1
  s.sel=(s.sel-1)%#s.items+1
  if btnp(4) then
   if (s.sel==1) go("play")
   if (s.sel==3) go("credits")
  end
 end,
 draw=function()
  cls(1)
  print("mega quest",44,30,10)
  for i,it in pairs(states.title.items) do
   local c=7
   if (i==states.title.sel) c=9 print(">",34,50+i*8,9)
   print(it,40,50+i*8,c)
  end
 end
}

states.play={
 t=0,
 enter=function() states.play.t=0 music(-1) end,
 update=function()
  states.play.t+=1
  if (states.play.t>300) go("over")
 end,
 draw=function()
  cls()
  print("playing... "..flr(states.play.t/30),30,60,7)
 end
}

states.over={
 update=function()
  if (btnp(5)) go("title")
 end,
 draw=function()
  cls(2)
  print("the end",50,60,7)
 end
}

states.credits={
 update=function()
  if (btnp(5)) go("title")
 end,
 draw=function()
  cls()
  print([[code: someone
art: someone else
music: a cat]],10,40,6)
 end
}

function _init() go("title") end
function _update() cur.update() end
function _draw() cur.draw() end

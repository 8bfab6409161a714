-- dialogue and cutscene with coroutines
lines={
 "hello, traveller.",
 "the bridge is out.",
 'they say "the troll" took it.',
 "good luck!"
}

function say(s)
 shown=""
 for i=1,#s do
  shown=sub(s,1,i)
  yield()
 end
 while not btnp(4) do yield() end
end

function wait(n)
 for i=1,n do yield() end
end

function scene()
 actor_x=-16
 while actor_x<48 do
  actor_x+=1
  yield()
 end
 for l in all(lines) do say(l) end
 wait(30)
 done=true
end

function _init()
 co=cocreate(scene)
 shown=""
 done=false
end

function _update()
 if co and costatus(co)!="dead" then
  local ok,err=coresume(co)
  if (not ok) printh(err) co=nil
 end
end

function _draw()
 cls(1)
 rectfill(0,96,127,127,0)
 rect(0,96,127,127,7)
 spr(8,actor_x,72,2,2)
 print(shown,4,100,7)
 if (done) print("- fin -",48,60,10)
end

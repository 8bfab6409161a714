-- vertical shooter
function _init()
 ship={x=60,y=110,hp=3,cool=0}
 bullets={}
 enemies={}
 stars={}
 t=0
 wave=1
 for i=1,32 do
  add(stars,{x=rnd(128),y=rnd(128),s=rnd(2)+0.5})
 end
end

function spawn_wave()
 for i=1,4+wave do
  add(enemies,{x=rnd(112)+8,y=-8-i*12,dy=0.5+rnd(wave*0.2),hp=2})
 end
 wave+=1
end

function _update()
 t+=1
 if (btn(0)) ship.x-=2
 if (btn(1)) ship.x+=2
 if (btn(2)) ship.y-=2
 if (btn(3)) ship.y+=2
 ship.x=mid(0,ship.x,120)
 ship.y=mid(0,ship.y,120)
 ship.cool-=1
 if btn(4) and ship.cool<=0 then
  add(bullets,{x=ship.x+3,y=ship.y-4})
  ship.cool=6
  sfx(2)
 end
 for b in all(bullets) do
  b.y-=4
  if (b.y<-8) del(bullets,b)
 end
 for e in all(enemies) do
  e.y+=e.dy
  e.x+=sin(t/60+e.y/64)*0.5
  for b in all(bullets) do
   if abs(b.x-e.x-4)<5 and abs(b.y-e.y-4)<5 then
    e.hp-=1
    del(bullets,b)
   end
  end
  if e.hp<=0 then
   del(enemies,e)
   sfx(3)
  elseif e.y>128 then
   del(enemies,e)
   ship.hp-=1
  end
 end
 if (#enemies==0) spawn_wave()
 for s in all(stars) do
  s.y+=s.s
  if (s.y>128) s.y-=128 s.x=rnd(128)
 end
end

function _draw()
 cls()
 for s in all(stars) do
  pset(s.x,s.y,s.s>1.5 and 7 or 5)
 end
 for b in all(bullets) do
  rectfill(b.x,b.y,b.x+1,b.y+3,10)
 end
 for e in all(enemies) do
  spr(4,e.x,e.y)
 end
 spr(2,ship.x,ship.y)
 print("hp:"..ship.hp.." wave:"..wave,1,1,7)
end

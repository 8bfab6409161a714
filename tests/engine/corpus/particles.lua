--[[
 particle playground
 z: burst  x: toggle gravity
]]
parts={}
grav=true

function burst(x,y,n)
 for i=1,n do
  local a=rnd(1)
  local s=rnd(2)+0.5
  add(parts,{
   x=x,y=y,
   dx=cos(a)*s,dy=sin(a)*s,
   life=20+rnd(20),
   c=({7,10,9,8})[flr(rnd(4))+1]
  })
 end
end

function _update60()
 if (btnp(4)) burst(64,64,40)
 if (btnp(5)) grav=not grav
 for p in all(parts) do
  p.x+=p.dx
  p.y+=p.dy
  if (grav) p.dy+=0.05
  p.dx*=0.98
  p.life-=1
  if (p.life<=0 or p.y>130) del(parts,p)
 end
end

function _draw()
 cls()
 for p in all(parts) do
  if p.life<8 then
   pset(p.x,p.y,5)
  else
   circfill(p.x,p.y,p.life>30 and 1 or 0,p.c)
  end
 end
 ?"parts: "..#parts,1,1,7
 ?grav and "gravity on" or "gravity off",1,8,6
end

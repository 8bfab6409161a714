// fireworks with trails
rockets={}
sparks={}

function launch()
 add(rockets,{x=20+rnd(88),y=128,dy=-2-rnd(1.5),c=8+flr(rnd(7))})
end

function explode(r)
 for i=1,30 do
  local a,s=i/30,1+rnd(1)
  add(sparks,{x=r.x,y=r.y,dx=cos(a)*s,dy=sin(a)*s,c=r.c,t=30+rnd(15)})
 end
 sfx(3)
end

function _update()
 if (rnd(1)<0.04) launch()
 for r in all(rockets) do
  r.y+=r.dy
  r.dy+=0.03
  if (r.dy>-0.3) explode(r) del(rockets,r)
 end
 for s in all(sparks) do
  s.x+=s.dx s.y+=s.dy
  s.dy+=0.04
  s.dx*=0.96
  s.t-=1
  if (s.t<=0) del(sparks,s)
 end
end

function _draw()
 -- fade instead of clearing, for trails
 for i=1,200 do
  local x,y=rnd(128),rnd(128)
  if (pget(x,y)!=0) pset(x,y,0)
 end
 for r in all(rockets) do pset(r.x,r.y,7) end
 for s in all(sparks) do pset(s.x,s.y,s.t<10 and 5 or s.c) end
end

-- asteroids-like
ship={x=64,y=64,a=0,dx=0,dy=0}
rocks={}
shots={}

function wrap(o)
 o.x%=128
 o.y%=128
end

function new_rock(x,y,r)
 local a=rnd(1)
 add(rocks,{x=x,y=y,r=r,dx=cos(a)*(4-r/4)*0.3,dy=sin(a)*(4-r/4)*0.3})
end

function _init()
 for i=1,4 do new_rock(rnd(128),rnd(128),8) end
end

function _update()
 if (btn(0)) ship.a+=0.02
 if (btn(1)) ship.a-=0.02
 if btn(2) then
  ship.dx+=cos(ship.a)*0.1
  ship.dy+=sin(ship.a)*0.1
 end
 ship.dx*=0.99 ship.dy*=0.99
 ship.x+=ship.dx ship.y+=ship.dy
 wrap(ship)
 if btnp(4) then
  add(shots,{x=ship.x,y=ship.y,dx=cos(ship.a)*3,dy=sin(ship.a)*3,t=40})
 end
 for s in all(shots) do
  s.x+=s.dx s.y+=s.dy s.t-=1
  wrap(s)
  if (s.t<0) del(shots,s)
 end
 for r in all(rocks) do
  r.x+=r.dx r.y+=r.dy
  wrap(r)
  for s in all(shots) do
   local dx,dy=s.x-r.x,s.y-r.y
   if dx*dx+dy*dy<r.r*r.r then
    del(shots,s) del(rocks,r)
    if r.r>2 then
     new_rock(r.x,r.y,r.r/2)
     new_rock(r.x,r.y,r.r/2)
    end
    sfx(1)
    break
   end
  end
 end
end

function _draw()
 cls()
 for r in all(rocks) do circ(r.x,r.y,r.r,6) end
 for s in all(shots) do pset(s.x,s.y,7) end
 local c,s=cos(ship.a),sin(ship.a)
 line(ship.x+c*5,ship.y+s*5,ship.x-c*3+s*3,ship.y-s*3-c*3,7)
 line(ship.x+c*5,ship.y+s*5,ship.x-c*3-s*3,ship.y-s*3+c*3,7)
end

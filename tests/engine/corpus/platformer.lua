-- tiny platformer: run, jump, collect coins
// uses flag 0 for solid tiles

gravity=0.25
jump_speed=-3.5

function _init()
 p={x=16,y=80,dx=0,dy=0,w=7,h=7,grounded=false,face=1,anim=0}
 coins={}
 score=0
 for i=0,7 do
  add(coins,{x=24+i*12,y=56,alive=true})
 end
 cam_x=0
end

function solid(x,y)
 return fget(mget(flr(x/8),flr(y/8)),0)
end

function move_player()
 if (btn(0)) p.dx-=0.5 p.face=-1
 if (btn(1)) p.dx+=0.5 p.face=1
 p.dx*=0.8
 if (abs(p.dx)<0.05) p.dx=0
 p.dx=mid(-2,p.dx,2)
 if btnp(4) and p.grounded then
  p.dy=jump_speed
  sfx(0)
 end
 p.dy+=gravity
 if (p.dy>4) p.dy=4
 -- horizontal
 local nx=p.x+p.dx
 if not solid(nx,p.y) and not solid(nx+p.w,p.y+p.h) then
  p.x=nx
 else
  p.dx=0
 end
 -- vertical
 local ny=p.y+p.dy
 p.grounded=false
 if solid(p.x,ny+p.h) or solid(p.x+p.w,ny+p.h) then
  p.y=flr((ny+p.h)/8)*8-p.h-1
  p.dy=0
  p.grounded=true
 elseif solid(p.x,ny) then
  p.dy=0
 else
  p.y=ny
 end
 if (p.dx!=0) p.anim+=0.25
end

function _update()
 move_player()
 for c in all(coins) do
  if c.alive and abs(c.x-p.x)<6 and abs(c.y-p.y)<6 then
   c.alive=false
   score+=10
   sfx(1)
  end
 end
 cam_x=mid(0,p.x-64,896)
end

function _draw()
 cls(12)
 camera(cam_x,0)
 map(0,0,0,0,128,16)
 for c in all(coins) do
  if (c.alive) spr(16+flr(time()*8)%4,c.x,c.y)
 end
 spr(1+flr(p.anim)%3,p.x,p.y,1,1,p.face<0)
 camera()
 print("score "..score,2,2,7)
end

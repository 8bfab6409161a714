-- pseudo-3d road
pos=0
speed=0
playerx=0
segs={}

function _init()
 for i=0,299 do
  local curve=0
  if (i>50 and i<100) curve=0.02
  if (i>150 and i<220) curve=-0.03
  segs[i]={curve=curve,col=flr(i/3)%2==0 and 5 or 6}
 end
end

function _update60()
 if (btn(2)) speed=min(speed+0.02,2)
 if (btn(3)) speed=max(speed-0.05,0)
 if (not btn(2)) speed*=0.99
 if (btn(0)) playerx-=0.03*speed
 if (btn(1)) playerx+=0.03*speed
 pos+=speed
 if (pos>=300) pos-=300
 local s=segs[flr(pos)]
 playerx-=s.curve*speed*1.5
 playerx=mid(-1.5,playerx,1.5)
end

function _draw()
 cls(12)
 rectfill(0,64,127,127,3)
 local x,dx=64,0
 for i=0,63 do
  local y=127-i
  local z=1+i/8
  local s=segs[flr(pos+i/2)%300]
  dx+=s.curve
  x+=dx
  local w=(64-i)*1.2
  line(x-w-playerx*w,y,x+w-playerx*w,y,s.col)
 end
 spr(1,60,110,2,2)
 ?"speed "..flr(speed*100),1,1,0
end

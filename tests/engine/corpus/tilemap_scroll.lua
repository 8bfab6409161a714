-- smooth scrolling over a big map with parallax
camx,camy=0,0
tx,ty=0,0

function _update()
 local sp=btn(4) and 4 or 1
 if (btn(0)) tx-=sp
 if (btn(1)) tx+=sp
 if (btn(2)) ty-=sp
 if (btn(3)) ty+=sp
 tx=mid(0,tx,1024-128)
 ty=mid(0,ty,512-128)
 -- ease camera toward target
 camx+=(tx-camx)*0.2
 camy+=(ty-camy)*0.2
end

function draw_far()
 for i=0,3 do
  local x=(-camx/4+i*64)%256-64
  spr(64,x,20,4,2)
 end
end

function _draw()
 cls(12)
 camera()
 draw_far()
 camera(flr(camx),flr(camy))
 local cx,cy=flr(camx/8),flr(camy/8)
 map(cx,cy,cx*8,cy*8,17,17)
 camera()
 rectfill(0,0,127,6,0)
 print("x:"..flr(camx).." y:"..flr(camy),1,1,7)
end

-- breakout
pad={x=52,w=24}
ball={x=64,y=100,dx=1.5,dy=-1.5,r=2}
bricks={}
lives=3
state="serve"

function _init()
 for row=0,4 do
  for col=0,9 do
   add(bricks,{x=4+col*12,y=16+row*6,c=8+row,alive=true})
  end
 end
end

function hit_brick(b)
 return ball.x+ball.r>b.x and ball.x-ball.r<b.x+10
  and ball.y+ball.r>b.y and ball.y-ball.r<b.y+4
end

function _update()
 if (btn(0)) pad.x-=3
 if (btn(1)) pad.x+=3
 pad.x=mid(0,pad.x,128-pad.w)
 if state=="serve" then
  ball.x=pad.x+pad.w/2
  ball.y=118
  if (btnp(4)) state="play" ball.dy=-1.5
  return
 end
 ball.x+=ball.dx
 ball.y+=ball.dy
 if (ball.x<ball.r or ball.x>127-ball.r) ball.dx=-ball.dx sfx(0)
 if (ball.y<ball.r) ball.dy=-ball.dy sfx(0)
 if ball.y>120 and ball.y<124 and ball.x>=pad.x and ball.x<=pad.x+pad.w then
  ball.dy=-abs(ball.dy)
  ball.dx+=(ball.x-(pad.x+pad.w/2))/8
  sfx(1)
 end
 for b in all(bricks) do
  if b.alive and hit_brick(b) then
   b.alive=false
   ball.dy*=-1
   sfx(2)
   break
  end
 end
 if ball.y>130 then
  lives-=1
  state= lives>0 and "serve" or "over"
 end
end

function _draw()
 cls()
 for b in all(bricks) do
  if (b.alive) rectfill(b.x,b.y,b.x+9,b.y+3,b.c)
 end
 rectfill(pad.x,122,pad.x+pad.w,124,7)
 circfill(ball.x,ball.y,ball.r,10)
 print("lives "..lives,2,2,6)
 if (state=="over") print("game over",46,64,8)
end

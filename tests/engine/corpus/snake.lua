-- snake on a 16x16 grid
function _init()
 reset_game()
end

function reset_game()
 body={{x=8,y=8},{x=7,y=8},{x=6,y=8}}
 dir={x=1,y=0}
 nextdir={x=1,y=0}
 place_food()
 timer=0
 speed=6
 dead=false
 score=0
end

function place_food()
 repeat
  food={x=flr(rnd(16)),y=flr(rnd(16))}
 until not on_body(food.x,food.y)
end

function on_body(x,y)
 for b in all(body) do
  if (b.x==x and b.y==y) return true
 end
 return false
end

function _update()
 if dead then
  if (btnp(4)) reset_game()
  return
 end
 if (btnp(0) and dir.x!=1) nextdir={x=-1,y=0}
 if (btnp(1) and dir.x!=-1) nextdir={x=1,y=0}
 if (btnp(2) and dir.y!=1) nextdir={x=0,y=-1}
 if (btnp(3) and dir.y!=-1) nextdir={x=0,y=1}
 timer+=1
 if (timer<speed) return
 timer=0
 dir=nextdir
 local head={x=(body[1].x+dir.x)%16,y=(body[1].y+dir.y)%16}
 if on_body(head.x,head.y) then
  dead=true
  sfx(5)
  return
 end
 add(body,head,1)
 if head.x==food.x and head.y==food.y then
  score+=1
  if (score%5==0 and speed>2) speed-=1
  place_food()
 else
  deli(body,#body)
 end
end

function _draw()
 cls(1)
 rectfill(food.x*8,food.y*8,food.x*8+7,food.y*8+7,8)
 for i,b in pairs(body) do
  rectfill(b.x*8,b.y*8,b.x*8+7,b.y*8+7,i==1 and 11 or 3)
 end
 print(score,2,2,7)
 if dead then
  print("game over",46,60,8)
  print("press z",50,68,6)
 end
end

-- step sequencer toy: 8 steps x 4 notes
steps={}
cur=1
playing=false
tick=0
tempo=8
sel={x=1,y=1}

function _init()
 for i=1,8 do steps[i]={false,false,false,false} end
 steps[1][1]=true
 steps[5][3]=true
end

function _update()
 if (btnp(0)) sel.x-=1
 if (btnp(1)) sel.x+=1
 if (btnp(2)) sel.y-=1
 if (btnp(3)) sel.y+=1
 sel.x=(sel.x-1)%8+1
 sel.y=(sel.y-1)%4+1
 if (btnp(4)) steps[sel.x][sel.y]=not steps[sel.x][sel.y]
 if (btnp(5)) playing=not playing tick=0
 if playing then
  tick+=1
  if tick>=tempo then
   tick=0
   cur=cur%8+1
   for n=1,4 do
    if (steps[cur][n]) sfx(n-1,n-1)
   end
  end
 end
end

function _draw()
 cls(0)
 for x=1,8 do
  for y=1,4 do
   local on=steps[x][y]
   local c=on and 8+y or 1
   if (x==cur and playing) c=7
   rectfill(x*14-6,y*14+20,x*14+4,y*14+30,c)
  end
 end
 rect(sel.x*14-7,sel.y*14+19,sel.x*14+5,sel.y*14+31,7)
 print(playing and "\x8e toggle  \x97 stop" or "\x8e toggle  \x97 play",8,100,6)
end

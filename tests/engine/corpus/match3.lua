-- match-3 puzzle on an 8x8 board
n=8
board={}
cur={x=1,y=1}
held=nil
score=0

function rnd_gem() return flr(rnd(5))+1 end

function _init()
 for y=1,n do
  board[y]={}
  for x=1,n do board[y][x]=rnd_gem() end
 end
 while clear_matches()>0 do fall() end
 score=0
end

function clear_matches()
 local kill={}
 for y=1,n do for x=1,n-2 do
  local g=board[y][x]
  if (g!=0 and board[y][x+1]==g and board[y][x+2]==g) kill[y*16+x]=1 kill[y*16+x+1]=1 kill[y*16+x+2]=1
 end end
 for y=1,n-2 do for x=1,n do
  local g=board[y][x]
  if (g!=0 and board[y+1][x]==g and board[y+2][x]==g) kill[y*16+x]=1 kill[(y+1)*16+x]=1 kill[(y+2)*16+x]=1
 end end
 local c=0
 for k,_ in pairs(kill) do
  board[flr(k/16)][k%16]=0
  c+=1
 end
 score+=c*10
 return c
end

function fall()
 for x=1,n do
  for y=n,2,-1 do
   if board[y][x]==0 then
    for k=y-1,1,-1 do
     if (board[k][x]!=0) board[y][x],board[k][x]=board[k][x],0 break
    end
   end
  end
  for y=1,n do
   if (board[y][x]==0) board[y][x]=rnd_gem()
  end
 end
end

function _update()
 if (btnp(0)) cur.x=max(1,cur.x-1)
 if (btnp(1)) cur.x=min(n,cur.x+1)
 if (btnp(2)) cur.y=max(1,cur.y-1)
 if (btnp(3)) cur.y=min(n,cur.y+1)
 if btnp(4) then
  if held==nil then
   held={x=cur.x,y=cur.y}
  else
   local a,b=board[held.y][held.x],board[cur.y][cur.x]
   board[held.y][held.x],board[cur.y][cur.x]=b,a
   if clear_matches()==0 then
    board[held.y][held.x],board[cur.y][cur.x]=a,b
   else
    repeat fall() until clear_matches()==0
   end
   held=nil
  end
 end
end

function _draw()
 cls()
 for y=1,n do for x=1,n do
  spr(board[y][x]+32,x*12,y*12)
 end end
 rect(cur.x*12-1,cur.y*12-1,cur.x*12+8,cur.y*12+8,7)
 if (held) rect(held.x*12-2,held.y*12-2,held.x*12+9,held.y*12+9,10)
 print("score:"..score,2,2,7)
end

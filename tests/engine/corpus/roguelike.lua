-- turn-based dungeon crawler
--[[ map legend:
 0 floor, 1 wall, 2 stairs
 (generated each level) ]] lvl=1
hero={x=1,y=1,hp=10,gold=0}
mobs={}
msg=""

function gen_level()
 grid={}
 for y=0,15 do
  grid[y]={}
  for x=0,15 do
   grid[y][x]=(x==0 or y==0 or x==15 or y==15 or rnd(1)<0.18) and 1 or 0
  end
 end
 grid[1][1]=0
 grid[14][14]=2
 mobs={}
 for i=1,2+lvl do
  local x,y=flr(rnd(14))+1,flr(rnd(14))+1
  if (grid[y][x]==0) add(mobs,{x=x,y=y,hp=2+lvl})
 end
end

function mob_at(x,y)
 for m in all(mobs) do
  if (m.x==x and m.y==y) return m
 end
end

function try_move(dx,dy)
 local nx,ny=hero.x+dx,hero.y+dy
 local m=mob_at(nx,ny)
 if m then
  m.hp-=2
  msg="you hit! ("..m.hp..")"
  if (m.hp<=0) del(mobs,m) hero.gold+=flr(rnd(5))+1 msg="killed it"
 elseif grid[ny][nx]!=1 then
  hero.x,hero.y=nx,ny
  if (grid[ny][nx]==2) lvl+=1 gen_level() hero.x,hero.y=1,1 msg="deeper..."
 end
 for m in all(mobs) do
  if abs(m.x-hero.x)+abs(m.y-hero.y)==1 then
   hero.hp-=1
   msg="ouch"
  end
 end
end

function _init() gen_level() end

function _update()
 if (hero.hp<=0) return
 if (btnp(0)) try_move(-1,0)
 if (btnp(1)) try_move(1,0)
 if (btnp(2)) try_move(0,-1)
 if (btnp(3)) try_move(0,1)
end

function _draw()
 cls()
 for y=0,15 do for x=0,15 do
  local t=grid[y][x]
  if (t==1) rectfill(x*8,y*8,x*8+7,y*8+7,5)
  if (t==2) print(">",x*8+2,y*8+1,10)
 end end
 for m in all(mobs) do print("g",m.x*8+2,m.y*8+1,8) end
 print("@",hero.x*8+2,hero.y*8+1,7)
 print("hp "..hero.hp.." $"..hero.gold.." l"..lvl.." "..msg,0,122,7)
end

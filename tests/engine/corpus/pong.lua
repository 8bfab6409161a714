// two-player pong
function _init()
 l={y=56,s=0}
 r={y=56,s=0}
 serve(1)
end

function serve(d)
 b={x=64,y=64,dx=d*1.5,dy=rnd(2)-1}
end

function paddle(p,up,dn,pl)
 if (btn(up,pl)) p.y-=2
 if (btn(dn,pl)) p.y+=2
 p.y=mid(0,p.y,112)
end

function _update()
 paddle(l,2,3,0)
 paddle(r,2,3,1)
 b.x+=b.dx b.y+=b.dy
 if (b.y<0 or b.y>126) b.dy=-b.dy
 if b.x<4 and b.y>l.y and b.y<l.y+16 then
  b.dx=abs(b.dx)*1.05
 end
 if b.x>122 and b.y>r.y and b.y<r.y+16 then
  b.dx=-abs(b.dx)*1.05
 end
 if (b.x<-4) r.s+=1 serve(1)
 if (b.x>132) l.s+=1 serve(-1)
end

function _draw()
 cls()
 line(64,0,64,127,5)
 rectfill(0,l.y,2,l.y+16,7)
 rectfill(125,r.y,127,r.y+16,7)
 rectfill(b.x,b.y,b.x+1,b.y+1,7)
 print(l.s,50,2,7) print(r.s,74,2,7)
end

-- analog clock from the host's local time
function hand(a,len,c)
 local x=64+cos(0.25-a)*len
 local y=64-sin(0.25-a)*len
 line(64,64,x,y,c)
end

function _draw()
 cls(1)
 circfill(64,64,50,7)
 circ(64,64,50,5)
 for i=0,11 do
  local a=i/12
  pset(64+cos(a)*44,64+sin(a)*44,0)
 end
 local h,m,s=stat(93),stat(94),stat(95)
 hand(((h%12)+m/60)/12,24,0)
 hand((m+s/60)/60,36,5)
 hand(s/60,42,8)
 ?h..":"..(m<10 and "0"..m or m),50,118,7
end

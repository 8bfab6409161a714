-- shorthand stress test that still reads like game code
hp,mp,gold=10,5,0
inv={potion=2,ether=1}
log={}

function note(s) add(log,s) if (#log>4) del(log,log[1]) end

function use(item)
 if (inv[item]==nil or inv[item]<=0) note("no "..item) return
 inv[item]-=1
 if item=="potion" then hp+=5 note("hp up") end
 if (item=="ether") mp+=3 note("mp up")
end

function _update()
 if (btnp(4)) use("potion")
 if (btnp(5)) use("ether")
 if (hp!=10 and rnd(1)<0.01) hp-=1
 gold+=1 gold%=1000
 mp*=1 mp/=1
 local s="a != b and c += d" // strings stay as they are
 if (#s!=17) note("bad")
end

function _draw()
 cls()
 ?"hp "..hp.."  mp "..mp
 ?"gold "..gold
 for i,l in pairs(log) do print(l,0,20+i*6,6) end
 print('if (x) y', 0, 60) -- not an if
 print([[
  long string: x += 1 != 2
  ]],0,70)
end

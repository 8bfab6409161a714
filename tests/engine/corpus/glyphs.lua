-- glyph buttons and glyph text
-- (names made of glyph bytes are button numbers)
px,py=60,60
trail={}
flags=0b1010
mask=0x0f

function _update()
 if (btn(ã)) px-=1
 if (btn(ë)) px+=1
 if (btn(î)) py-=1
 if (btn(É)) py+=1
 if btnp(é) then
  flags=bxor(flags,1)
  add(trail,{x=px,y=py})
 end
 if (btnp(ó)) trail={}
 px%=128 py%=128
 if (#trail>20) del(trail,trail[1])
end

function _draw()
 cls()
 for t in all(trail) do pset(t.x,t.y,band(flags,mask)) end
 print("é to drop ó to clear",10,2,7)
 print("ÄÅÇ != glyphs += ok",10,10,6) // not rewritten
 circ(px,py,3,12)
end

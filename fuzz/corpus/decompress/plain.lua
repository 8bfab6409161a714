function _draw()
 cls() ?"hi €"
 for i=1,10 do pset(i,i,i) end
end

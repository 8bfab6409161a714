-- reaction game with saved high scores
cartdata("corpus_highscore_1")
best=dget(0)
state="wait"
t=0
target=0

function _update()
 t+=1
 if state=="wait" then
  if (t>60+rnd(90)) state="go" t=0 sfx(0)
  if (btnp(4)) state="early"
 elseif state=="go" then
  if btnp(4) then
   target=t
   state="done"
   if best==0 or target<best then
    best=target
    dset(0,best)
   end
  end
 elseif btnp(5) then
  state="wait" t=0
 end
end

function _draw()
 cls(state=="go" and 11 or 1)
 if (state=="wait") print("wait for green...",30,60,7)
 if (state=="go") print("now!",56,60,0)
 if (state=="early") print("too early! (x)",36,60,8)
 if (state=="done") print(target.." frames (x)",36,60,7)
 print("best: "..best,2,2,10)
end

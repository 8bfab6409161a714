-- Put after the __lua__ line of the carts whose header says "prelude: on".
-- case(name, f, want) runs f in a coroutine to its end (the CPU budget may
-- suspend it many times); it must not fail when want is nil, and must fail
-- with an error containing want otherwise. done(class) prints the summary
-- and fails the program when any case failed.
_cases,_bad=0,0
function has(s,w)
 s=tostr(s)
 for i=1,#s-#w+1 do if sub(s,i,i+#w-1)==w then return true end end
 return false
end
function case(name,f,want)
 _cases+=1
 local co=cocreate(f) local ok,e
 repeat ok,e=coresume(co) until not ok or costatus(co)=="dead"
 if (want==nil and not ok) or (want and (ok or not has(e,want))) then
  _bad+=1 printh("FAIL "..name..": "..tostr(e))
 end
end
function done(class)
 printh(class..": ".._cases.." cases, ".._bad.." failed")
 assert(_bad==0, class..": ".._bad.." of ".._cases.." cases failed")
end

# Runs orbotool fixed on known values and compares its output byte for byte;
# then checks that each kind of bad input exits with 1 and one stderr line.
set(expected
"0.5 0x00008000
1.4167 0x00016aab
-1 0xffff0000
-1 0xffff0000
0.25 0x00004000
0.125 0x00002000
-0 0xffffffff
1 0x0000ffff
0 0x00000000
0 0x00000001
32768 0x7fffffff
1 0x00010000
0.5 0x00008000
-32768 0x80000000
-32768 0x80000000
0.3333 0x00005555
0 0x00000001
8 0x00080000
16.5 0x00108000
-1 0xffff0001
3.1623 0x0003298b
8 0x00080000
14 0x000e0000
6 0x00060000
0 0x00000001
2 0x00020000
")
execute_process(
  COMMAND ${ORBOTOOL} fixed tostr:0.5 pow:2:0.5 sin:0.25 cos:0.5 atan2:0:0 atan2:1:-0x1
          shr:-0x0.0001:40 lshr:-0x0.0001:16 shl:1:-0x1 rotr:1:16 div:1:0 mod:-0x5:3
          pow:2:-0x1 pow:2:15 tostr:40000 div:1:3 tostr:0.00002 tostr:0x8 tostr:0x10.8 tostr:-1
          sqrt:10 band:12:10 bor:12:10 bxor:12:10 rotl:0x8000:1 mul:0.5:4
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected OR NOT err STREQUAL "")
  message(FATAL_ERROR "orbotool fixed: rc=${rc}\n--- got\n${out}--- expected\n${expected}--- stderr\n${err}")
endif()
foreach(bad "nonsense" "foo:1:2" "mul:1" "tostr:1e" "tostr:0x1p4" "div:1:abc" "sqrt:")
  execute_process(COMMAND ${ORBOTOOL} fixed tostr:1 ${bad}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  string(REGEX MATCHALL "\n" lines "${err}")
  list(LENGTH lines nlines)
  if(NOT rc EQUAL 1 OR NOT nlines EQUAL 1)
    message(FATAL_ERROR "orbotool fixed ${bad}: rc=${rc}, stderr='${err}'")
  endif()
endforeach()

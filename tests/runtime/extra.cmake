# The cartridge suite: every tests/carts/*.ob runs through `orbotool run`
# and, unless it runs for a fixed number of frames (it never ends), through
# `orbo -x`; both compare with the same expected output.
file(GLOB ORBO_TEST_CARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/carts/*.ob)
foreach(cart IN LISTS ORBO_TEST_CARTS)
  get_filename_component(name ${cart} NAME_WE)
  set(dir ${CMAKE_SOURCE_DIR}/tests/carts)
  add_test(NAME cart_tool_${name}
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/runtime/run_cart.sh orbotool $<TARGET_FILE:orbotool> ${dir} ${name})
  set_tests_properties(cart_tool_${name} PROPERTIES TIMEOUT 300)
  set(cart_args "")
  if(EXISTS ${dir}/${name}.args)
    file(READ ${dir}/${name}.args cart_args)
  endif()
  if(NOT cart_args MATCHES "--frames")
    add_test(NAME cart_exec_${name}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/runtime/run_cart.sh orbo $<TARGET_FILE:orbo> ${dir} ${name})
    set_tests_properties(cart_exec_${name} PROPERTIES TIMEOUT 300)
  endif()
endforeach()

# The joined program text of programs left open at their end, against the
# reference compiler when it is installed.
find_program(ORBO_RT_LUAC luac5.2)
if(ORBO_RT_LUAC AND TARGET test_runtime)
  add_test(NAME runtime_program_end_conformance
    COMMAND test_runtime --gtest_filter=RuntimeTest.OpenProgramEndsMatchTheReferenceCompiler)
  set_tests_properties(runtime_program_end_conformance PROPERTIES
    ENVIRONMENT "ORBO_LUAC=${ORBO_RT_LUAC}")
endif()

# The runtime's binding tests run on the hardware's binding fixture.
if(TARGET test_runtime)
  target_sources(test_runtime PRIVATE ${CMAKE_SOURCE_DIR}/tests/hardware/golden.cpp)
endif()

# The shipped cartridges of data/carts (the launcher and the embedded games),
# each played by its scripted input from tests/demos: the console output, the
# printh lines and the last frame are compared; each also converts to the PNG
# form and back unchanged.
file(GLOB ORBO_DEMO_CARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/carts/*.ob)
foreach(cart IN LISTS ORBO_DEMO_CARTS)
  get_filename_component(name ${cart} NAME_WE)
  add_test(NAME demo_play_${name}
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/runtime/run_cart.sh orbotool $<TARGET_FILE:orbotool>
            ${CMAKE_SOURCE_DIR}/data/carts ${name} ${CMAKE_SOURCE_DIR}/tests/demos)
  set_tests_properties(demo_play_${name} PROPERTIES TIMEOUT 300)
  # Each shipped cartridge is heard: its scripted play renders sound.
  add_test(NAME demo_sound_${name}
    COMMAND sh -c "w=$(mktemp) && \"$0\" run \"$1\" --input \"$2\" --seed 1 --frames 900 --wav $w >/dev/null && \
      python3 -c \"import sys,wave,struct; w=wave.open(sys.argv[1]); d=struct.unpack('<%dh' % w.getnframes(), w.readframes(w.getnframes())); sys.exit(sum(1 for v in d if v) < 2000)\" $w; s=$?; rm -f $w; exit $s"
            $<TARGET_FILE:orbotool> ${cart} ${CMAKE_SOURCE_DIR}/tests/demos/${name}.input)
  add_test(NAME demo_png_round_trip_${name}
    COMMAND sh -c "d=$(mktemp -d) && \"$0\" convert \"$1\" $d/c.ob.png >/dev/null && \"$0\" convert $d/c.ob.png $d/c.ob >/dev/null && cmp \"$1\" $d/c.ob; s=$?; rm -rf $d; exit $s"
            $<TARGET_FILE:orbotool> ${cart})
endforeach()

# The launcher with a carts folder of hundreds of files that are no
# cartridges among two that are: it lists, loads and returns from those two.
add_test(NAME demo_launcher_folder
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/demos/launcher_folder.sh $<TARGET_FILE:orbotool> ${CMAKE_SOURCE_DIR})
set_tests_properties(demo_launcher_folder PROPERTIES TIMEOUT 300)

# The hostile-cartridge suite: every tests/hostile/*.ob runs through
# `orbo -x` and `orbotool run` under a wall-time and a memory limit (its
# header comments name them and what it must print, exit with and leave in
# its cart-data file; see tests/hostile/run_hostile.sh).
# Malformed cartridge files given to both on the command line.
add_test(NAME hostile_malformed_files
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/hostile/run_malformed.sh $<TARGET_FILE:orbo> $<TARGET_FILE:orbotool>
          ${CMAKE_SOURCE_DIR}/tests/hostile)
set_tests_properties(hostile_malformed_files PROPERTIES TIMEOUT 300)
if(ORBO_SANITIZE)
  set_tests_properties(hostile_malformed_files PROPERTIES ENVIRONMENT "ORBO_HOSTILE_SANITIZED=1")
endif()
# A program stuck in a read no count hook reaches: the quit watchdog saves.
foreach(mode IN ITEMS orbo orbotool)
  add_test(NAME hostile_stuck_sigterm_${mode}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/hostile/stuck_sigterm.py $<TARGET_FILE:${mode}> ${mode})
  set_tests_properties(hostile_stuck_sigterm_${mode} PROPERTIES TIMEOUT 120)
  if(ORBO_SANITIZE)
    set_tests_properties(hostile_stuck_sigterm_${mode} PROPERTIES ENVIRONMENT "ORBO_HOSTILE_SANITIZED=1")
  endif()
endforeach()
file(GLOB ORBO_HOSTILE_CARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/hostile/*.ob)
foreach(cart IN LISTS ORBO_HOSTILE_CARTS)
  get_filename_component(name ${cart} NAME_WE)
  foreach(mode IN ITEMS orbo orbotool)
    add_test(NAME hostile_${mode}_${name}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/hostile/run_hostile.sh ${mode} $<TARGET_FILE:${mode}>
              ${CMAKE_SOURCE_DIR}/tests/hostile ${name})
    set_tests_properties(hostile_${mode}_${name} PROPERTIES TIMEOUT 120)
    if(ORBO_SANITIZE)
      # Sanitizers reserve terabytes of address space and run slower.
      set_tests_properties(hostile_${mode}_${name} PROPERTIES ENVIRONMENT "ORBO_HOSTILE_SANITIZED=1")
    endif()
  endforeach()
endforeach()

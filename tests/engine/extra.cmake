# Differential test of the compiler against the reference compiler, when it
# is installed.
find_program(ORBO_LUAC_PROGRAM luac5.2)
if(ORBO_LUAC_PROGRAM AND TARGET test_engine)
  add_test(NAME compiler_conformance
    COMMAND test_engine --gtest_filter=CompilerConformance.*)
  set_tests_properties(compiler_conformance PROPERTIES
    ENVIRONMENT "ORBO_LUAC=${ORBO_LUAC_PROGRAM}")
endif()

# Differential tests of the script engine against the stock 5.2 interpreter
# (when installed): every program of vm_corpus/ runs under both, once with
# our compiler and once on the stock compiler's bytecode (the virtual
# machine alone); output and executed-instruction counts must match.
find_program(LUA52_EXECUTABLE lua5.2)
find_program(LUAC52_EXECUTABLE luac5.2)
if(LUA52_EXECUTABLE AND TARGET orbotool)
  file(GLOB VM_CORPUS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/engine/vm_corpus/*.lua)
  foreach(prog IN LISTS VM_CORPUS)
    get_filename_component(name ${prog} NAME_WE)
    add_test(NAME vm_diff.${name}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_diff.sh $<TARGET_FILE:orbotool> ${LUA52_EXECUTABLE} ${prog})
    if(LUAC52_EXECUTABLE)
      add_test(NAME vm_diff_bytecode.${name}
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_diff.sh $<TARGET_FILE:orbotool> ${LUA52_EXECUTABLE} ${prog} --luac)
    endif()
  endforeach()
endif()

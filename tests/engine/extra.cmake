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

# orbotool fixed: exact output lines and the failure exit for bad input.
if(TARGET orbotool)
  add_test(NAME orbotool_fixed
    COMMAND ${CMAKE_COMMAND} -DORBOTOOL=$<TARGET_FILE:orbotool>
            -P ${CMAKE_SOURCE_DIR}/tests/tools/orbotool_fixed.cmake)
endif()

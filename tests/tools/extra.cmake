# orbotool fixed: exact output lines and the failure exit for bad input.
if(TARGET orbotool)
  add_test(NAME orbotool_fixed
    COMMAND ${CMAKE_COMMAND} -DORBOTOOL=$<TARGET_FILE:orbotool>
            -P ${CMAKE_SOURCE_DIR}/tests/tools/orbotool_fixed.cmake)
endif()

# podbuild refuses malformed sources instead of writing a partial pod.
if(TARGET podbuild)
  set(bad_manifest_says "bad.art:3: row is not 3 wide")
  set(backwards_manifest_says "backwards_manifest.txt:3: item numbers must increase")
  foreach(bad IN ITEMS bad_manifest backwards_manifest)
    add_test(NAME podbuild_rejects_${bad}
      COMMAND podbuild ${CMAKE_SOURCE_DIR}/tests/tools/${bad}.txt
              ${CMAKE_BINARY_DIR}/podbuild_${bad}.pod)
    set_tests_properties(podbuild_rejects_${bad} PROPERTIES
      PASS_REGULAR_EXPRESSION "${${bad}_says}")
  endforeach()
endif()
# The podbuild source readers are tested directly.
if(TARGET test_tools)
  target_sources(test_tools PRIVATE ${CMAKE_SOURCE_DIR}/tools/podbuild/sources.cpp
                                    ${CMAKE_SOURCE_DIR}/tools/podbuild/manifest.cpp)
  target_include_directories(test_tools PRIVATE ${CMAKE_SOURCE_DIR}/tools/podbuild)
endif()

# orbotool run --gif: one GIF frame per console frame run, 3/100 s apart, at
# the default gif_scale of 2, read back by ImageMagick.
find_program(IDENTIFY identify)
if(TARGET orbotool AND IDENTIFY)
  add_test(NAME orbotool_run_gif
    COMMAND sh -c "out=\"$2/run_gif.gif\"; \"$0\" run \"$1\" --frames 12 --gif \"$out\" > /dev/null && \
      [ \"$(\"$3\" -format '%w %h %T\\n' \"$out\" | sort | uniq -c | tr -s ' ')\" = ' 12 256 256 3' ]"
      $<TARGET_FILE:orbotool> ${CMAKE_SOURCE_DIR}/tests/carts/drawing.ob ${CMAKE_BINARY_DIR} ${IDENTIFY})
endif()

# The README's commands run as written.
if(TARGET orbo AND TARGET orbotool)
  add_test(NAME readme_commands
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/readme_commands.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
endif()

# A malformed --input line stops orbotool with status 2 and names the line.
if(TARGET orbotool)
  add_test(NAME orbotool_run_bad_input
    COMMAND sh -c "printf '5 0:1\\n7 0:9\\n' > \"$1/bad.input\"; \"$0\" run \"$2\" --input \"$1/bad.input\" 2> \"$1/bad.err\"; \
      [ $? = 2 ] && grep -q 'bad.input: line 2' \"$1/bad.err\""
      $<TARGET_FILE:orbotool> ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/docs/examples/hello.ob)
endif()

# The data file test reads the data.pod the build assembles.
if(TARGET test_platform AND TARGET data_pod)
  add_dependencies(test_platform data_pod)
endif()
# podbuild refuses malformed sources instead of writing a partial pod.
if(TARGET podbuild)
  set(bad_manifest_says "bad.art:3: row is not 3 wide")
  set(backwards_manifest_says "backwards_manifest.txt:3: item numbers must increase")
  foreach(bad IN ITEMS bad_manifest backwards_manifest)
    add_test(NAME podbuild_rejects_${bad}
      COMMAND podbuild ${CMAKE_SOURCE_DIR}/tests/platform/data/${bad}.txt
              ${CMAKE_BINARY_DIR}/podbuild_${bad}.pod)
    set_tests_properties(podbuild_rejects_${bad} PROPERTIES
      PASS_REGULAR_EXPRESSION "${${bad}_says}")
  endforeach()
endif()

# The golden images render through the display palette of the built data.pod.
if(TARGET test_hardware AND TARGET data_pod)
  add_dependencies(test_hardware data_pod)
endif()

# Cartridge sessions: cart data across two runs with one HOME, refused ids
# that must never create a file, and `folder` with a fake xdg-open.
if(TARGET orbo AND TARGET orbotool)
  foreach(scenario cdata_roundtrip cdata_hostile folders folder board cdata_load)
    add_test(NAME cart_session_${scenario}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/hardware/cart_session.sh $<TARGET_FILE:orbo> $<TARGET_FILE:orbotool>
              ${CMAKE_SOURCE_DIR}/tests/carts/sessions ${scenario})
    set_tests_properties(cart_session_${scenario} PROPERTIES TIMEOUT 300)
  endforeach()
endif()

# Every global of the API table is called by some cartridge of the suite.
add_test(NAME cart_api_coverage
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/hardware/api_coverage.sh
          ${CMAKE_SOURCE_DIR}/src/engine/api_list.h ${CMAKE_SOURCE_DIR}/tests/carts)

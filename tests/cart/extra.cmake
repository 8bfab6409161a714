# Cartridge file checks from outside: orbotool conversions compared file by
# file, and PNG cartridges read by an independent decoder.
set(ORBO_CART_DIR ${CMAKE_SOURCE_DIR}/tests/cart/carts)
set(ORBO_CART_ROUNDTRIP_CARTS full empty mark_pixel inuse glyphs crlf_v15 legacy_v2 legacy_v4 legacy_v10)
if(TARGET orbotool)
  foreach(cart IN LISTS ORBO_CART_ROUNDTRIP_CARTS)
    add_test(NAME cart.convert_roundtrip.${cart}
      COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:orbotool> -DIN=${ORBO_CART_DIR}/${cart}.ob
              -DOUT=${CMAKE_BINARY_DIR}/cart_convert/${cart}
              -P ${CMAKE_SOURCE_DIR}/tests/cart/convert_roundtrip.cmake)
  endforeach()
  find_program(ORBO_IDENTIFY identify)
  if(ORBO_IDENTIFY)
    add_test(NAME cart.png_identify
      COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:orbotool> -DIDENTIFY=${ORBO_IDENTIFY}
              -DIN=${ORBO_CART_DIR}/full.ob -DOUT=${CMAKE_BINARY_DIR}/cart_convert/identify
              -P ${CMAKE_SOURCE_DIR}/tests/cart/png_identify.cmake)
  endif()
endif()

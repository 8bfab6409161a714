# data.pod beside the executable, assembled by podbuild from data/manifest.txt.
# podbuild writes a depfile naming every source it read (generated inputs
# named with "@" paths included); the glob also re-runs it when a new
# source file appears.
file(GLOB ORBO_DATA_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.txt
  ${CMAKE_SOURCE_DIR}/data/*.art ${CMAKE_SOURCE_DIR}/data/*.ob ${CMAKE_SOURCE_DIR}/data/carts/*.ob
  ${CMAKE_SOURCE_DIR}/data/*.png)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data.pod
  COMMAND podbuild ${CMAKE_SOURCE_DIR}/data/manifest.txt ${CMAKE_BINARY_DIR}/data.pod
          ${CMAKE_BINARY_DIR}/data.pod.d
  DEPENDS podbuild ${ORBO_DATA_SOURCES} ${ORBO_DATA_GENERATED}
  DEPFILE ${CMAKE_BINARY_DIR}/data.pod.d
  COMMENT "Building data.pod"
  VERBATIM)
add_custom_target(data_pod ALL DEPENDS ${CMAKE_BINARY_DIR}/data.pod)

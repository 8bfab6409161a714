# data.pod beside the executable, assembled by podbuild from the sources in
# data/ whenever one of them changes.
file(GLOB ORBO_DATA_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.txt
  ${CMAKE_SOURCE_DIR}/data/*.art ${CMAKE_SOURCE_DIR}/data/*.ob ${CMAKE_SOURCE_DIR}/data/*.png)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data.pod
  COMMAND podbuild ${CMAKE_SOURCE_DIR}/data/manifest.txt ${CMAKE_BINARY_DIR}/data.pod
  DEPENDS podbuild ${ORBO_DATA_SOURCES}
  COMMENT "Building data.pod"
  VERBATIM)
add_custom_target(data_pod ALL DEPENDS ${CMAKE_BINARY_DIR}/data.pod)

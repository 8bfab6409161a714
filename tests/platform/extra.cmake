# The data file test reads the data.pod the build assembles.
if(TARGET test_platform AND TARGET data_pod)
  add_dependencies(test_platform data_pod)
endif()

# The golden images render through the display palette of the built data.pod.
if(TARGET test_hardware AND TARGET data_pod)
  add_dependencies(test_hardware data_pod)
endif()

# Differential test of the compiler against the reference compiler, when it
# is installed.
find_program(ORBO_LUAC_PROGRAM luac5.2)
if(ORBO_LUAC_PROGRAM AND TARGET test_engine)
  add_test(NAME compiler_conformance
    COMMAND test_engine --gtest_filter=CompilerConformance.*)
  set_tests_properties(compiler_conformance PROPERTIES
    ENVIRONMENT "ORBO_LUAC=${ORBO_LUAC_PROGRAM}")
endif()

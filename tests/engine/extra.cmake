# Oracle and command-line checks of the tokenizer and preprocessor.
find_program(LUAC52 luac5.2)
if(LUAC52 AND TARGET orbotool)
  add_test(NAME engine.preprocess_corpus_compiles_with_luac
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/luac_corpus.sh $<TARGET_FILE:orbotool>
            ${LUAC52} ${CMAKE_SOURCE_DIR}/tests/engine/corpus)
endif()
if(TARGET orbotool)
  set(_tok_dir ${CMAKE_SOURCE_DIR}/tests/engine)
  add_test(NAME engine.orbotool_tokens
    COMMAND orbotool tokens ${_tok_dir}/corpus/pong.lua)
  set_tests_properties(engine.orbotool_tokens PROPERTIES
    PASS_REGULAR_EXPRESSION "^tokens: 277 chars: 732\n$")
  add_test(NAME engine.orbotool_missing_file_exits_1
    COMMAND sh -c "\"$0\" tokens /nonexistent/x.lua 2>/dev/null; [ $? -eq 1 ] && \"$0\" preprocess /nonexistent/x.lua 2>/dev/null; [ $? -eq 1 ]"
            $<TARGET_FILE:orbotool>)
  add_test(NAME engine.orbotool_preprocess_bytes
    COMMAND sh -c "printf 'x += 1 -- c\\nif (a) b=1' > \"$1\" && \"$0\" preprocess \"$1\" | od -An -c | tr -s ' ' > \"$1.out\" && [ \"$(cat \"$1.out\")\" = \"$(printf 'x = x + ( 1) \\nif (a) then  b=1 end ' | od -An -c | tr -s ' ')\" ]"
            $<TARGET_FILE:orbotool> ${CMAKE_BINARY_DIR}/orbotool_pre_test.lua)
endif()
find_program(PYTHON3 python3)
if(PYTHON3 AND TARGET orbotool)
  add_test(NAME engine.token_count_matches_reference_counter
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/engine/token_oracle.py $<TARGET_FILE:orbotool>
            ${CMAKE_SOURCE_DIR}/tests/engine/corpus)
endif()

# Differential test of the compiler against the reference compiler, when it
# is installed.
find_program(ORBO_LUAC_PROGRAM luac5.2)
if(ORBO_LUAC_PROGRAM AND TARGET test_engine)
  add_test(NAME compiler_conformance
    COMMAND test_engine --gtest_filter=CompilerConformance.*)
  set_tests_properties(compiler_conformance PROPERTIES
    ENVIRONMENT "ORBO_LUAC=${ORBO_LUAC_PROGRAM}")
endif()

# orbotool listing: golden output (16.16 numbers, pre-order function
# indices) and the error path (message on stderr, exit status 1).
if(TARGET orbotool)
  add_test(NAME orbotool_listing_golden
    COMMAND sh -c "$<TARGET_FILE:orbotool> listing tests/engine/listing/golden.lua > '${CMAKE_BINARY_DIR}/golden.out' && cmp '${CMAKE_BINARY_DIR}/golden.out' tests/engine/listing/golden.txt"
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  add_test(NAME orbotool_listing_error
    COMMAND sh -c "if $<TARGET_FILE:orbotool> listing tests/engine/listing/unclosed.lua > '${CMAKE_BINARY_DIR}/unclosed.out' 2> '${CMAKE_BINARY_DIR}/unclosed.err'; then exit 1; fi; test ! -s '${CMAKE_BINARY_DIR}/unclosed.out' && grep -qx \"tests/engine/listing/unclosed.lua:3: unexpected symbol near '='\" '${CMAKE_BINARY_DIR}/unclosed.err'"
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()

# Differential tests of the script engine against the stock 5.2 interpreter
# (when installed): every program of vm_corpus/ runs under both, once with
# our compiler and once on the stock compiler's bytecode (the virtual
# machine alone); output and executed-instruction counts must match.
find_program(LUA52_EXECUTABLE lua5.2)
find_program(LUAC52_EXECUTABLE luac5.2)
if(LUA52_EXECUTABLE AND TARGET orbotool)
  file(GLOB VM_CORPUS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/engine/vm_corpus/*.lua)
  foreach(prog IN LISTS VM_CORPUS)
    get_filename_component(name ${prog} NAME_WE)
    add_test(NAME vm_diff.${name}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_diff.sh $<TARGET_FILE:orbotool> ${LUA52_EXECUTABLE} ${prog})
    if(LUAC52_EXECUTABLE)
      add_test(NAME vm_diff_bytecode.${name}
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_diff.sh $<TARGET_FILE:orbotool> ${LUA52_EXECUTABLE} ${prog} --luac)
    endif()
  endforeach()
endif()

# Random programs (whole small numbers only) under both interpreters.
if(LUA52_EXECUTABLE AND TARGET orbotool)
  add_test(NAME vm_diff_random
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_random_diff.sh $<TARGET_FILE:orbotool> ${LUA52_EXECUTABLE} 60)
endif()

# orbotool lua --budget: programs whose every slice can end where the count
# falls, resumed in slices of several sizes, print what they print in one
# go, in as many slices as their instruction count gives.
if(TARGET orbotool)
  foreach(name IN ITEMS runs tables operands keyhints closures)
    add_test(NAME vm_budget.${name}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/engine/vm_budget.sh $<TARGET_FILE:orbotool>
              ${CMAKE_SOURCE_DIR}/tests/engine/vm_corpus/${name}.lua)
  endforeach()
endif()

# A text cartridge is measured by its code section alone: the token count
# orbotool tokens gives equals the one cartinfo reports.
if(TARGET orbotool)
  add_test(NAME engine.orbotool_tokens_of_cart_code
    COMMAND sh -c "t=$(\"$0\" tokens \"$1\" | sed -n 's/^tokens: \\([0-9]*\\) .*/\\1/p'); c=$(\"$0\" cartinfo \"$1\" | sed -n 's/^tokens: //p'); [ -n \"$t\" ] && [ \"$t\" = \"$c\" ]"
            $<TARGET_FILE:orbotool> ${CMAKE_SOURCE_DIR}/data/carts/launcher.ob)
endif()

# Slices of 37 instructions: a coroutine the budget suspends inside inline
# table, call and arithmetic paths resumes exactly where it stopped; output
# and slice count as recorded from the engine before its core was redesigned.
if(TARGET orbotool)
  add_test(NAME orbotool_lua_budget_coroutines
    COMMAND sh -c "$<TARGET_FILE:orbotool> lua --budget 37 tests/engine/vm_corpus/fastpaths2.lua > '${CMAKE_BINARY_DIR}/budget_co.out' 2>&1; cmp '${CMAKE_BINARY_DIR}/budget_co.out' tests/engine/vm_budget/fastpaths2.37.txt"
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endif()

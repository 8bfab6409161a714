# Command-line runs of the player: -x without a display, and a full start,
# boot and quit under a virtual X server when one is available.
add_test(NAME app_exec_mode COMMAND sh ${CMAKE_SOURCE_DIR}/tests/app/e2e_exec.sh $<TARGET_FILE:orbo>)
set_tests_properties(app_exec_mode PROPERTIES TIMEOUT 300)

find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
if(XVFB_RUN AND XDOTOOL)
  add_test(NAME app_e2e_xvfb
    COMMAND ${XVFB_RUN} -a -s "-screen 0 800x600x24"
            sh ${CMAKE_SOURCE_DIR}/tests/app/e2e_xvfb.sh $<TARGET_FILE:orbo>)
  # The display libraries (D-Bus, GL drivers unloaded at exit) leave
  # allocations behind that leak checking cannot attribute; the framework's
  # own memory is leak-checked by the unit tests.
  set_tests_properties(app_e2e_xvfb PROPERTIES TIMEOUT 300
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  # Keys in a real window move a block and open the pause menu; the session's
  # recording replays headless to the same last screen.
  add_test(NAME app_e2e_play
    COMMAND ${XVFB_RUN} -a -s "-screen 0 800x600x24"
            sh ${CMAKE_SOURCE_DIR}/tests/app/e2e_play.sh $<TARGET_FILE:orbo> $<TARGET_FILE:orbotool>
            ${CMAKE_SOURCE_DIR}/tests/app/play.ob)
  set_tests_properties(app_e2e_play PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  # The player boots into the launcher; keys start a game and the pause
  # menu returns; each screen is compared with a golden one.
  add_test(NAME app_e2e_launcher
    COMMAND ${XVFB_RUN} -a -s "-screen 0 800x600x24"
            sh ${CMAKE_SOURCE_DIR}/tests/app/e2e_launcher.sh $<TARGET_FILE:orbo> ${CMAKE_SOURCE_DIR}/tests/app/golden)
  set_tests_properties(app_e2e_launcher PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()

# Game controllers through SDL's game-controller path, with virtual pads
# (no device, no display: SDL's dummy video driver).
if(TARGET orbo_sdl)
  add_executable(test_sdl_pads ${CMAKE_SOURCE_DIR}/tests/sdl/virtual_pad_test.cpp)
  target_link_libraries(test_sdl_pads PRIVATE orbo_sdl GTest::gtest_main)
  gtest_discover_tests(test_sdl_pads DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endif()

# orbotool run --wav through the player's own mixer: format, determinism and
# the pitch of an a4 triangle.
find_program(PYTHON3_FOR_WAV python3)
if(PYTHON3_FOR_WAV AND TARGET orbotool)
  add_test(NAME orbotool_run_wav_tone
    COMMAND ${PYTHON3_FOR_WAV} ${CMAKE_SOURCE_DIR}/tests/audio/wav_tone.py $<TARGET_FILE:orbotool>
            ${CMAKE_SOURCE_DIR}/tests/audio/tone.ob ${CMAKE_BINARY_DIR})
endif()

# The player's own audio device (SDL's disk driver) under a virtual X server.
find_program(XVFB_RUN_AUDIO xvfb-run)
find_program(XDOTOOL_AUDIO xdotool)
if(XVFB_RUN_AUDIO AND XDOTOOL_AUDIO AND PYTHON3_FOR_WAV AND TARGET orbo)
  add_test(NAME audio_device_disk
    COMMAND ${XVFB_RUN_AUDIO} -a -s "-screen 0 800x600x24"
            sh ${CMAKE_SOURCE_DIR}/tests/audio/disk_audio.sh $<TARGET_FILE:orbo> $<TARGET_FILE:orbotool>
            ${CMAKE_SOURCE_DIR}/tests/audio/sweep.ob ${CMAKE_SOURCE_DIR}/tests/audio/tone.ob)
  set_tests_properties(audio_device_disk PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()

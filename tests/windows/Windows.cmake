# The Windows program, its headless runner and its unit tests under Debian's 64-bit Wine, when
# DAZOZI_WINDOWS_BUILD names the Windows build's folder (./windows.sh builds it; test.sh does so
# first and names it here). Every test runs in one Wine prefix in this build folder, made by the
# first test that needs it (tests/windows/wine_run.sh).
set(DAZOZI_WINDOWS_BUILD "" CACHE PATH "Folder of the Windows build (./windows.sh) to test under Wine (empty: none)")
if(DAZOZI_WINDOWS_BUILD)
  find_program(DAZOZI_WINE wine REQUIRED)
  set(here ${CMAKE_CURRENT_LIST_DIR})
  set(prefix ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
  set(wine bash ${here}/wine_run.sh ${prefix})
  set(program ${DAZOZI_WINDOWS_BUILD}/dazozi-redov.exe)
  set(runner ${DAZOZI_WINDOWS_BUILD}/tools/scenario.exe)

  add_test(NAME windows.exe_and_zip
    COMMAND bash ${here}/exe_and_zip.sh ${DAZOZI_WINDOWS_BUILD} ${CMAKE_CURRENT_BINARY_DIR}/windows-zip)
  # The argument is the one tests/media/base/windows/WindowsStart.test.cpp looks for.
  add_test(NAME windows.unit_tests
    COMMAND ${wine} ${DAZOZI_WINDOWS_BUILD}/windows-tests.exe
            "--dazozi-argument=Bilder ä 画 🎈")
  add_test(NAME windows.command_line
    COMMAND bash ${here}/command_line.sh ${prefix} ${program} ${CMAKE_CURRENT_BINARY_DIR}/windows-command-line)
  # Alone: its waits are for a window on a machine whose two cores the others would take.
  add_test(NAME windows.program_under_wine
    COMMAND bash ${here}/run_program.sh ${prefix} ${program} ${CMAKE_CURRENT_BINARY_DIR}/windows-e2e)
  set_tests_properties(windows.program_under_wine PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

  # The golden scripts render to the committed pictures byte for byte, as the Linux runner's do.
  file(GLOB scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/golden/*.txt)
  foreach(script ${scripts})
    get_filename_component(scene ${script} NAME_WE)
    add_test(NAME windows.golden.${scene}
      COMMAND ${wine} ${runner} --script ${script} --golden ${CMAKE_SOURCE_DIR}/tests/golden
              --out ${CMAKE_CURRENT_BINARY_DIR}/windows-golden-out)
    set_tests_properties(windows.golden.${scene} PROPERTIES FIXTURES_REQUIRED windows_golden_out)
  endforeach()
  add_test(NAME windows.golden_make_output_dir
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/windows-golden-out)
  set_tests_properties(windows.golden_make_output_dir PROPERTIES FIXTURES_SETUP windows_golden_out)

  # The committed recordings replay to the committed hashes, as in every other build.
  foreach(recording cross_build settings)
    add_test(NAME windows.replay_${recording}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/replay/same_hash.sh
              ${CMAKE_SOURCE_DIR}/tests/replay/${recording}.txt
              ${CMAKE_SOURCE_DIR}/tests/replay/${recording}.expected ${wine} ${runner})
  endforeach()

  # Wine's first start may take minutes on a loaded machine: the limits are bounds, not timings.
  get_property(all DIRECTORY PROPERTY TESTS)
  list(FILTER all INCLUDE REGEX "^windows\\.")
  foreach(test ${all})
    get_test_property(${test} TIMEOUT limit)
    if(NOT limit)
      set_tests_properties(${test} PROPERTIES TIMEOUT 900)
    endif()
  endforeach()
endif()

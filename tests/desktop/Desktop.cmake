# Tests of the program as a desktop application: the renderer chosen in a real X server, full
# screen, and the installable package. Included from tests/CMakeLists.txt.

find_program(XVFB_RUN_FOR_DESKTOP xvfb-run)

# The renderer choice with Mesa's GL under Xvfb, where the accelerated renderer is llvmpipe.
if(XVFB_RUN_FOR_DESKTOP AND TARGET dazozi-tests)
  add_test(NAME media.RendererChoiceInXServer
    COMMAND ${XVFB_RUN_FOR_DESKTOP} -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset"
            $<TARGET_FILE:dazozi-tests> --gtest_filter=RendererChoiceInXServer.*)
  # Mesa's and the X libraries' allocations outlive the test; our own leaks are checked by the
  # other tests, which load no GL driver.
  set_tests_properties(media.RendererChoiceInXServer PROPERTIES
    TIMEOUT 120
    ENVIRONMENT_MODIFICATION
      "SDL_VIDEODRIVER=unset:;SDL_AUDIODRIVER=set:dummy;DAZOZI_RENDERER=unset:;ASAN_OPTIONS=string_append::detect_leaks=0")
endif()

# Batched drawing against one call a primitive, on Mesa's GL renderer under Xvfb.
if(XVFB_RUN_FOR_DESKTOP AND TARGET dazozi-tests)
  add_test(NAME media.DrawBatchInXServer
    COMMAND ${XVFB_RUN_FOR_DESKTOP} -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset"
            $<TARGET_FILE:dazozi-tests> --gtest_filter=DrawBatchInXServer.*:GameDrawCallsInXServer.*:*ZoomSeamsInXServer.*)
  set_tests_properties(media.DrawBatchInXServer PROPERTIES
    TIMEOUT 120
    ENVIRONMENT_MODIFICATION
      "SDL_VIDEODRIVER=unset:;SDL_AUDIODRIVER=set:dummy;DAZOZI_RENDERER=unset:;ASAN_OPTIONS=string_append::detect_leaks=0")
endif()

# Full screen with F11 and Alt+Enter, in an X server with a window manager.
find_program(XDOTOOL_FOR_DESKTOP xdotool)
if(XDOTOOL_FOR_DESKTOP AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/lib.sh)
  add_test(NAME e2e.full_screen
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run_fullscreen.sh $<TARGET_FILE:dazozi-redov>
            ${CMAKE_CURRENT_BINARY_DIR}/e2e-fullscreen-out)
  set_tests_properties(e2e.full_screen PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  # The software renderer's picture scaled to odd window sizes and full screen, without seams.
  add_test(NAME e2e.scaled_without_seams
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run_scaled.sh $<TARGET_FILE:dazozi-redov>
            ${CMAKE_CURRENT_BINARY_DIR}/e2e-scaled-out)
  set_tests_properties(e2e.scaled_without_seams PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  add_test(NAME e2e.scaled_on_gl_without_seams
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/run_scaled_gl.sh $<TARGET_FILE:dazozi-redov>
            ${CMAKE_CURRENT_BINARY_DIR}/e2e-scaled-gl-out)
  set_tests_properties(e2e.scaled_on_gl_without_seams PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# The Debian package: built, validated, installed, run, removed. It installs into the system,
# so it needs root (skipped otherwise) and stays out of the sanitizer build.
if(XDOTOOL_FOR_DESKTOP AND NOT DAZOZI_SANITIZE AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/lib.sh)
  add_test(NAME package.installs_runs_and_purges
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/desktop/package_install.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/package-out ${PROJECT_VERSION})
  set_tests_properties(package.installs_runs_and_purges PROPERTIES
    TIMEOUT 600 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
endif()

# Two packages of one build are the same bytes (dated by the last commit, as package.sh does).
if(NOT DAZOZI_SANITIZE)
  add_test(NAME package.reproducible
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/desktop/package_reproducible.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/package-reproducible-out $<TARGET_FILE:dazozi-redov>)
  set_tests_properties(package.reproducible PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()

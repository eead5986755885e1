# Tests of the program as a desktop application: the renderer chosen in a real X server, full
# screen, and the installable package. Included from tests/CMakeLists.txt.

find_program(XVFB_RUN_FOR_DESKTOP xvfb-run)

# The renderer choice with Mesa's GL under Xvfb, where the accelerated renderer is llvmpipe.
if(XVFB_RUN_FOR_DESKTOP AND TARGET dazozi-tests)
  add_test(NAME media.RendererChoiceInXServer
    COMMAND ${XVFB_RUN_FOR_DESKTOP} -a -s "-screen 0 1280x1024x24 -nolisten tcp"
            $<TARGET_FILE:dazozi-tests> --gtest_filter=RendererChoiceInXServer.*)
  # Mesa's and the X libraries' allocations outlive the test; our own leaks are checked by the
  # other tests, which load no GL driver.
  set_tests_properties(media.RendererChoiceInXServer PROPERTIES
    TIMEOUT 120
    ENVIRONMENT_MODIFICATION
      "SDL_VIDEODRIVER=unset:;SDL_AUDIODRIVER=set:dummy;DAZOZI_RENDERER=unset:;ASAN_OPTIONS=string_append::detect_leaks=0")
endif()

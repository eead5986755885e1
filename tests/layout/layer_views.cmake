# Checks that each layer's include path (its view, cmake/Layers.cmake) shows what the layer may
# use and nothing above it: a file of the layer that includes a header of a layer or part above
# it must fail to compile for want of the file, one that includes its own or a lower one must not.
# Run with -P, CXX (the compiler), LAYERS (the build's layers/ folder) and WORK (a scratch folder)
# set.

# Each case: the view, the header included, and whether it must be found.
set(cases
  "media_base|media/base/Clock.hpp|found"
  "media_base|media/window/Window.hpp|missing"
  "media_base|media/graphics/Draw.hpp|missing"
  "media_window|media/window/ControlBand.hpp|found"
  "media_window|media/input/Input.hpp|missing"
  "media_window|media/graphics/TImage.hpp|missing"
  "media_input|media/input/Input.hpp|found"
  "media_input|media/window/Window.hpp|found"
  "media_input|media/graphics/Draw.hpp|missing"
  "media_input|media/audio/TSound.hpp|missing"
  "media_audio|media/audio/TSound.hpp|found"
  "media_audio|media/graphics/Png.hpp|missing"
  "media_audio|media/window/Window.hpp|missing"
  "media_graphics|media/graphics/TImage.hpp|found"
  "media_graphics|media/frame/Frame.hpp|missing"
  "media_graphics|media/audio/TSound.hpp|missing"
  "media_frame|media/frame/FrameLoop.hpp|found"
  "media_frame|media/audio/TSound.hpp|found"
  "media_frame|world/TLayer.hpp|missing"
  "physics|media/base/Clock.hpp|missing"
  "data|media/Graphics.hpp|found"
  "data|world/TLevel.hpp|missing"
  "world|control/TControl.hpp|missing"
  "app|media/Graphics.hpp|found")

file(MAKE_DIRECTORY "${WORK}")
set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 view)
  list(GET fields 1 header)
  list(GET fields 2 expected)
  if(NOT IS_DIRECTORY "${LAYERS}/${view}")
    message(SEND_ERROR "${view}: no such view in ${LAYERS}")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  set(source "${WORK}/probe.cpp")
  file(WRITE "${source}" "#include \"${header}\"\n")
  # Preprocessing alone finds or misses the file. Only the view is on the path: the headers
  # probed include none of the libraries' own (SDL's, libpng's).
  execute_process(
    COMMAND "${CXX}" -std=c++20 -E -I "${LAYERS}/${view}" "${source}"
    RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
  if(expected STREQUAL "found" AND NOT status EQUAL 0)
    message(SEND_ERROR "${view} cannot include ${header}:\n${errors}")
    math(EXPR failures "${failures} + 1")
  elseif(expected STREQUAL "missing")
    if(status EQUAL 0)
      message(SEND_ERROR "${view} includes ${header}, which lies above it")
      math(EXPR failures "${failures} + 1")
    elseif(NOT errors MATCHES "${header}: No such file or directory")
      message(SEND_ERROR "${view} including ${header} failed for another reason:\n${errors}")
      math(EXPR failures "${failures} + 1")
    endif()
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} of the layer views' cases failed")
endif()

# Chipmunk as the imported target Chipmunk::Chipmunk, linked by whoever uses the library.
#
# Desktop: Debian's libchipmunk-dev (header chipmunk/chipmunk.h, library libchipmunk).
# Web: the static library scripts/web-deps.sh built into DAZOZI_WEB_DEPS.
# A build that makes the library itself (from source, say) defines a target of this name before
# this file is included; it is then used as it is and nothing is looked up here.

if(TARGET Chipmunk::Chipmunk)
  return()
endif()

if(EMSCRIPTEN)
  set(_chipmunk_library "${DAZOZI_WEB_DEPS}/lib/libchipmunk.a")
  set(_chipmunk_include "${DAZOZI_WEB_DEPS}/include")
  if(NOT EXISTS "${_chipmunk_library}")
    message(FATAL_ERROR "Chipmunk: ${_chipmunk_library} is missing (run scripts/web-deps.sh)")
  endif()
else()
  find_library(CHIPMUNK_LIBRARY chipmunk REQUIRED)
  find_path(CHIPMUNK_INCLUDE_DIR chipmunk/chipmunk.h REQUIRED)
  set(_chipmunk_library "${CHIPMUNK_LIBRARY}")
  set(_chipmunk_include "${CHIPMUNK_INCLUDE_DIR}")
endif()

add_library(Chipmunk::Chipmunk UNKNOWN IMPORTED GLOBAL)
set_target_properties(Chipmunk::Chipmunk PROPERTIES
  IMPORTED_LOCATION "${_chipmunk_library}"
  INTERFACE_INCLUDE_DIRECTORIES "${_chipmunk_include}")
# The library calls the C maths library (sqrt, atan2, ...).
if(NOT EMSCRIPTEN)
  set_target_properties(Chipmunk::Chipmunk PROPERTIES INTERFACE_LINK_LIBRARIES m)
endif()

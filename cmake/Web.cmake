# The web build: configured with emcmake and -DDAZOZI_WEB_DEPS=<the folder scripts/web-deps.sh
# prints>. Included by the top-level CMakeLists in place of the desktop's package look-ups.
#
# The libraries come from that folder as imported targets under the names the desktop's
# packages give them, so the layers link the same way on both platforms.
# dazozi_add_web_page() adds the target dazozi-web: the page folder <build>/page with
# index.html, its script and style, dazozi-redov.js and dazozi-redov.wasm.

if(NOT DAZOZI_WEB_DEPS OR NOT EXISTS "${DAZOZI_WEB_DEPS}/lib/libSDL2.a")
  message(FATAL_ERROR "DAZOZI_WEB_DEPS must name the folder scripts/web-deps.sh builds")
endif()

function(dazozi_import_static name library include)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION "${DAZOZI_WEB_DEPS}/lib/${library}"
    INTERFACE_INCLUDE_DIRECTORIES "${include}")
endfunction()
dazozi_import_static(PkgConfig::SDL2 libSDL2.a "${DAZOZI_WEB_DEPS}/include/SDL2")
dazozi_import_static(ZLIB::ZLIB libz.a "${DAZOZI_WEB_DEPS}/include")
dazozi_import_static(PNG::PNG libpng.a "${DAZOZI_WEB_DEPS}/include")
set_target_properties(PNG::PNG PROPERTIES INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
# Chipmunk is built from source for every build (cmake/SameMath.cmake); media/CMakeLists.txt takes
# the browser's side of the media services (the web/ folders of media/'s parts) in place of the
# desktop's.

file(WRITE ${CMAKE_BINARY_DIR}/web-library-funcs.json "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")

# Link options of every web program.
set(DAZOZI_WEB_LINK_OPTIONS
    -sENVIRONMENT=web
    -sALLOW_MEMORY_GROWTH=1
    # EndProgram's exit(0) then ends the program for real: static destructors run, the page's
    # onExit shows that the game has ended (instead of a console warning that it has not).
    -sEXIT_RUNTIME=1
    # SDL's audio code calls these from JavaScript; the linker does not see those uses. (From a
    # file: the "$" of their names does not survive the build tool's and the shell's quoting.)
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/web-library-funcs.json
    -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=2)

function(dazozi_add_web_page)
  set(page "${CMAKE_BINARY_DIR}/page")
  add_executable(dazozi-web ${CMAKE_SOURCE_DIR}/web/main.cpp)
  target_link_libraries(dazozi-web PRIVATE dazozi_app dazozi_warnings)
  set_target_properties(dazozi-web PROPERTIES
    OUTPUT_NAME dazozi-redov SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${page}")
  target_link_options(dazozi-web PRIVATE ${DAZOZI_WEB_LINK_OPTIONS})
  set(files index.html page.js page.css)
  list(TRANSFORM files PREPEND "${CMAKE_SOURCE_DIR}/web/" OUTPUT_VARIABLE sources)
  add_custom_command(TARGET dazozi-web POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sources} "${page}/"
    VERBATIM)
  # Re-copies the page's files when only they changed.
  add_custom_target(dazozi-web-files ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory "${page}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sources} "${page}/"
    DEPENDS ${sources} VERBATIM)
endfunction()

# The browser half of bench/web-vs-native.sh: <build>/bench-page with bench.html and the
# benchmark's script and WebAssembly. Built only when asked for.
function(dazozi_add_web_bench)
  set(page "${CMAKE_BINARY_DIR}/bench-page")
  add_executable(dazozi-side-bench-web EXCLUDE_FROM_ALL
    ${CMAKE_SOURCE_DIR}/bench/web/main.cpp ${CMAKE_SOURCE_DIR}/bench/web/BarePicture.cpp
    ${CMAKE_SOURCE_DIR}/bench/Scenes.cpp)
  target_include_directories(dazozi-side-bench-web PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(dazozi-side-bench-web PRIVATE dazozi_app PkgConfig::SDL2 dazozi_warnings)
  set_target_properties(dazozi-side-bench-web PROPERTIES
    OUTPUT_NAME side-bench SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${page}")
  target_link_options(dazozi-side-bench-web PRIVATE ${DAZOZI_WEB_LINK_OPTIONS})
  add_custom_command(TARGET dazozi-side-bench-web POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/bench/web/bench.html
            ${CMAKE_SOURCE_DIR}/bench/web/bare.js "${page}/"
    VERBATIM)
  # The physics split for node (bench/physics-split.sh): node build/web/physics-split.js.
  add_executable(dazozi-physics-split-node EXCLUDE_FROM_ALL
    ${CMAKE_SOURCE_DIR}/bench/PhysicsSplit.cpp ${CMAKE_SOURCE_DIR}/bench/BareCopy.cpp
    ${CMAKE_SOURCE_DIR}/bench/SpaceCopier.cpp
    ${CMAKE_SOURCE_DIR}/bench/Scenes.cpp)
  target_include_directories(dazozi-physics-split-node PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(dazozi-physics-split-node PRIVATE dazozi_app Chipmunk::Chipmunk
    dazozi_warnings)
  set_target_properties(dazozi-physics-split-node PROPERTIES OUTPUT_NAME physics-split
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
  dazozi_web_node_program(dazozi-physics-split-node)
endfunction()

# A tool built for node instead of a browser (the headless runner: the same frame loop and the
# page's libraries, run from a shell): it reads and writes the machine's files as they are
# (NODERAWFS) and its exit status is the process's. Run it as `node TARGET.js ARGS`. Compiled
# synchronously: this emscripten would fetch() the .wasm by its path in a node that has fetch.
function(dazozi_web_node_program target)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
  target_link_options(${target} PRIVATE
    -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sWASM_ASYNC_COMPILATION=0
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/web-library-funcs.json)
endfunction()

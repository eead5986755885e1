# The Windows build: cross-compiled with cmake/MinGW.toolchain.cmake and
# -DDAZOZI_WINDOWS_DEPS=<the folder scripts/windows-deps.sh prints>. Included by the top-level
# CMakeLists in place of the desktop's package look-ups.
#
# The libraries come from that folder as imported targets under the names the desktop's
# packages give them, so the layers link the same way on every platform. Everything is linked
# statically, the compiler's own run-time libraries included: the program is one .exe that
# needs nothing but Windows' own DLLs.

if(NOT DAZOZI_WINDOWS_DEPS OR NOT EXISTS "${DAZOZI_WINDOWS_DEPS}/lib/libSDL2.a")
  message(FATAL_ERROR "DAZOZI_WINDOWS_DEPS must name the folder scripts/windows-deps.sh builds")
endif()

function(dazozi_import_static name library include)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION "${DAZOZI_WINDOWS_DEPS}/lib/${library}"
    INTERFACE_INCLUDE_DIRECTORIES "${include}")
endfunction()
dazozi_import_static(PkgConfig::SDL2 libSDL2.a "${DAZOZI_WINDOWS_DEPS}/include/SDL2")
# The Windows libraries SDL's static library calls into (its sdl2.pc's Libs.private).
set_target_properties(PkgConfig::SDL2 PROPERTIES INTERFACE_LINK_LIBRARIES
  "m;kernel32;user32;gdi32;winmm;imm32;ole32;oleaut32;version;uuid;advapi32;setupapi;shell32")
dazozi_import_static(ZLIB::ZLIB libz.a "${DAZOZI_WINDOWS_DEPS}/include")
dazozi_import_static(PNG::PNG libpng.a "${DAZOZI_WINDOWS_DEPS}/include")
set_target_properties(PNG::PNG PROPERTIES INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

# Every program of this build: the compiler's run-time libraries (libgcc, libstdc++,
# winpthread) inside the .exe, and no link time stamp in it, so that two builds give the same
# bytes.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
# No build folder's path inside the program (assertions and debug names would carry it).
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.")

# The program a user starts: a window program (no console of its own; media/base/windows/WindowsStart
# attaches to the one it was started from), with its icon, version and manifest as resources.
function(dazozi_add_windows_program)
  set(generated "${CMAKE_BINARY_DIR}/windows")
  # Windows wants its icons in one .ico; it holds the committed pictures as they are.
  set(sizes 48 128 256)
  set(pictures)
  foreach(size ${sizes})
    list(APPEND pictures "${CMAKE_SOURCE_DIR}/data/icons/dazozi-redov-${size}.png")
  endforeach()
  add_custom_command(OUTPUT "${generated}/dazozi-redov.ico"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${generated}"
    COMMAND /usr/bin/python3 "${CMAKE_SOURCE_DIR}/windows/make_ico.py" "${generated}/dazozi-redov.ico"
            ${pictures}
    DEPENDS "${CMAKE_SOURCE_DIR}/windows/make_ico.py" ${pictures} VERBATIM)
  set(DAZOZI_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  configure_file("${CMAKE_SOURCE_DIR}/windows/dazozi-redov.rc.in" "${generated}/dazozi-redov.rc" @ONLY)
  configure_file("${CMAKE_SOURCE_DIR}/windows/dazozi-redov.manifest.in"
                 "${generated}/dazozi-redov.manifest" @ONLY)
  set_source_files_properties("${generated}/dazozi-redov.rc" PROPERTIES
    OBJECT_DEPENDS "${generated}/dazozi-redov.ico;${generated}/dazozi-redov.manifest")
  target_sources(dazozi-redov PRIVATE "${generated}/dazozi-redov.rc")
  set_target_properties(dazozi-redov PROPERTIES WIN32_EXECUTABLE ON)
  # Without its symbol table: a fifth of the size, and nothing a user needs.
  target_link_options(dazozi-redov PRIVATE -s)
  # The licences of the code compiled in from other sources (cmake/SameMath.cmake), for the
  # zip's LICENSE.txt (windows.sh): a title and a file per line, tab between.
  set(notices ${DAZOZI_BUILT_IN_NOTICES})
  set(lines "")
  while(notices)
    list(POP_FRONT notices title file)
    string(APPEND lines "${title}\t${file}\n")
  endwhile()
  file(WRITE "${CMAKE_BINARY_DIR}/built-in-notices.txt" "${lines}")
endfunction()

# Every file the programs open is read and written byte for byte, as on Linux (no CR before
# each LF, no stop at a Ctrl+Z): a recording or a scene is the same file on either, and the
# runner's printed hashes compare with the committed ones.
link_libraries(${CMAKE_FIND_ROOT_PATH}/lib/binmode.o)
# ... and what they print likewise (windows/binary_streams.cpp; an object, so it is always in).
add_library(dazozi_binary_streams OBJECT ${CMAKE_SOURCE_DIR}/windows/binary_streams.cpp)
link_libraries(dazozi_binary_streams)
# The few POSIX names the program uses that Windows' C library lacks (windows/posix.h).
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/windows/posix.h>")

# main() is the program's own (windows/main.cpp, the tools'), not SDL's WinMain wrapper.
add_compile_definitions(SDL_MAIN_HANDLED)

# The unit tests of what only Windows runs (its folders, its command line) and of the portable
# code it leans on, as one program run under Wine by the Linux build's suite (tests/windows/).
# GoogleTest compiled from the sources Debian's googletest package installs.
set(dazozi_gtest /usr/src/googletest/googletest)
if(EXISTS ${dazozi_gtest}/src/gtest-all.cc)
  add_library(dazozi_gtest STATIC EXCLUDE_FROM_ALL ${dazozi_gtest}/src/gtest-all.cc
                                                   ${dazozi_gtest}/src/gtest_main.cc)
  target_include_directories(dazozi_gtest SYSTEM PUBLIC ${dazozi_gtest}/include PRIVATE ${dazozi_gtest})
  target_compile_options(dazozi_gtest PRIVATE -w)
  file(GLOB dazozi_windows_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/media/base/windows/*.test.cpp)
  add_executable(windows-tests EXCLUDE_FROM_ALL ${dazozi_windows_tests}
    ${CMAKE_SOURCE_DIR}/tests/media/base/Utf16.test.cpp ${CMAKE_SOURCE_DIR}/tests/media/base/FilePath.test.cpp)
  target_link_libraries(windows-tests PRIVATE dazozi_media dazozi_gtest dazozi_warnings)
endif()

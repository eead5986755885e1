# One physics for every build: the desktop (glibc), its sanitizer build and the web build
# (emscripten's musl) compute every body's state bit for bit alike, so one recording replays to
# one body hash everywhere.
#
# Two things made them part within a few frames: the C libraries' sin, cos, atan2 (and kin)
# differ in the last bit for a few per cent of inputs, and each build had its own Chipmunk (the
# system's on the desktop, a -ffast-math build on the web). So both come from one source here:
# - dazozi_samemath: musl's sin, cos, acos, atan2, exp and pow, from Debian's musl source
#   package, under the names dz_sin... (samemath/SameMath.h). sqrt, floor, ceil and fmod are
#   exact in every C library and stay the build's own.
# - dazozi_chipmunk: Chipmunk from Debian's chipmunk source package, its math calls pointed at
#   those (samemath/shim/chipmunk_build.h), without fast-math.
# - The same hashing: Chipmunk's hash values are pointer-sized unless told otherwise, and its
#   spatial hash then orders the touching pairs it finds differently on 32-bit WebAssembly.
# - No contraction of a multiply and an add into one fused instruction anywhere, which a
#   compiler may do on one target and not on another. x86-64 computes in SSE2 (no x87 excess
#   precision) and WebAssembly in IEEE single and double, so plain operations agree.
#
# Sets CHIPMUNK_LIBRARY (a target) and CHIPMUNK_INCLUDE_DIR for the rest of the build, and
# DAZOZI_BUILT_IN_NOTICES (the two libraries' license files) for the package.
# The sources are fetched once by scripts/debian-source.sh into a cache outside the clone;
# DAZOZI_MUSL_SOURCE and DAZOZI_CHIPMUNK_SOURCE name unpacked trees to use instead.

set(DAZOZI_MUSL_SOURCE "" CACHE PATH "Unpacked musl 1.2.3 source tree (empty: fetched from Debian)")
set(DAZOZI_CHIPMUNK_SOURCE "" CACHE PATH "Unpacked Chipmunk 7.0.3 source tree (empty: fetched from Debian)")
set(dazozi_musl "${DAZOZI_MUSL_SOURCE}")
set(dazozi_chipmunk "${DAZOZI_CHIPMUNK_SOURCE}")
if(NOT dazozi_musl OR NOT dazozi_chipmunk)
  execute_process(
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/debian-source.sh musl=1.2.3 chipmunk=7.0.3
    OUTPUT_VARIABLE dazozi_trees OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not fetch Debian's musl and chipmunk sources (scripts/debian-source.sh)")
  endif()
  string(REPLACE "\n" ";" dazozi_trees "${dazozi_trees}")
  list(GET dazozi_trees 0 fetched_musl)
  list(GET dazozi_trees 1 fetched_chipmunk)
  if(NOT dazozi_musl)
    set(dazozi_musl "${fetched_musl}")
  endif()
  if(NOT dazozi_chipmunk)
    set(dazozi_chipmunk "${fetched_chipmunk}")
  endif()
endif()

add_compile_options(-ffp-contract=off)

# Third-party code: its own warnings are not ours to mend; the same optimisation in every build
# type (results do not depend on it, the sanitizer suite's speed does).
set(dazozi_third_party_options -w -O2)

set(dazozi_musl_files
    sin cos __sin __cos __rem_pio2 __rem_pio2_large acos atan atan2 exp exp_data pow pow_data
    __math_oflow __math_uflow __math_xflow __math_invalid __math_divzero)
list(TRANSFORM dazozi_musl_files PREPEND "${dazozi_musl}/src/math/")
list(TRANSFORM dazozi_musl_files APPEND ".c")
add_library(dazozi_samemath STATIC ${dazozi_musl_files})
set_target_properties(dazozi_samemath PROPERTIES C_STANDARD 99 C_EXTENSIONS ON)
target_include_directories(dazozi_samemath PRIVATE ${CMAKE_SOURCE_DIR}/samemath/shim/musl
  "${dazozi_musl}/src/internal" "${dazozi_musl}/arch/generic")
if(WIN32)
  # The two headers musl's sources want that Windows' C library lacks.
  target_include_directories(dazozi_samemath PRIVATE ${CMAKE_SOURCE_DIR}/samemath/shim/windows)
endif()
# Only its own folder: the layers above see "SameMath.h" and nothing else of the tree.
target_include_directories(dazozi_samemath PUBLIC ${CMAKE_SOURCE_DIR}/samemath)
# A function the shim does not declare must not link to the C library's by accident.
target_compile_options(dazozi_samemath PRIVATE ${dazozi_third_party_options}
  -Werror=implicit-function-declaration
  -include ${CMAKE_SOURCE_DIR}/samemath/shim/musl/rename.h)

file(GLOB dazozi_chipmunk_files "${dazozi_chipmunk}/src/*.c")
# The threaded solver: unused here, and it would pull in threads.
list(REMOVE_ITEM dazozi_chipmunk_files "${dazozi_chipmunk}/src/cpHastySpace.c")
add_library(dazozi_chipmunk STATIC ${dazozi_chipmunk_files})
set_target_properties(dazozi_chipmunk PROPERTIES C_STANDARD 99 C_EXTENSIONS ON)
target_include_directories(dazozi_chipmunk SYSTEM PUBLIC "${dazozi_chipmunk}/include")
# Its checks stay on in every build type, as in Debian's own build of it.
target_compile_options(dazozi_chipmunk PRIVATE ${dazozi_third_party_options} -UNDEBUG
  -include ${CMAKE_SOURCE_DIR}/samemath/shim/chipmunk_build.h)
# Its hash values are pointer-sized by default, so the spatial hash put shapes in other bins on
# 32-bit WebAssembly than on x86-64, found touching pairs in another order and solved them in
# another order. 64 bits in both. Public: the value type is part of the library's structures.
target_compile_definitions(dazozi_chipmunk PUBLIC CP_HASH_VALUE_TYPE=uint64_t)
target_link_libraries(dazozi_chipmunk PUBLIC dazozi_samemath m)

# Their license notices, which the package's copyright file carries (cmake/Packaging.cmake).
set(DAZOZI_BUILT_IN_NOTICES
    "Chipmunk 7.0.3" "${dazozi_chipmunk}/LICENSE.txt"
    "musl 1.2.3 (the math functions named above)" "${dazozi_musl}/COPYRIGHT")

set(CHIPMUNK_LIBRARY dazozi_chipmunk)
set(CHIPMUNK_INCLUDE_DIR "${dazozi_chipmunk}/include")
# The name every layer links the physics library by.
add_library(Chipmunk::Chipmunk ALIAS dazozi_chipmunk)

# Cross-compiling for 64-bit Windows with Debian's mingw-w64, the posix-threads flavour (its
# libstdc++ has std::thread and std::mutex, which the win32 flavour lacks).
# Used by ./windows.sh for the program and by scripts/windows-deps.sh for the libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DAZOZI_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DAZOZI_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DAZOZI_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DAZOZI_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${DAZOZI_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${DAZOZI_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${DAZOZI_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

// Included first into every C++ file of the Windows build (cmake/Windows.cmake).
// localtime_r, which mingw-w64's <time.h> declares only when asked for this way, and setenv,
// which Windows spells _putenv_s.
// Two open() flags and a file-type test of POSIX that Windows' C library lacks, and needs not:
// a handle is not passed on to programs started later unless asked for, there are no FIFOs for
// an open to block on, nor sockets among the files.
#pragma once
#ifndef _POSIX_THREAD_SAFE_FUNCTIONS
#define _POSIX_THREAD_SAFE_FUNCTIONS 200112L
#endif
#include <fcntl.h>
#include <sys/stat.h>
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef S_ISSOCK
#define S_ISSOCK(mode) 0
#endif
#include <stdlib.h>
inline int setenv(const char* name, const char* value, int overwrite) {
    if (overwrite == 0 && getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

// While alive, the process's stderr goes to /dev/null. Libraries print their own complaints
// when a device or a display is missing; the program says what went wrong in one line of its
// own instead. Restores the original stderr when it goes out of scope (one at a time).
// Does nothing in the web build: no display library prints there, and its file system does not
// give a redirected stderr back (the node runner's later messages were lost).
class QuietStderr {
  public:
    QuietStderr() {
#ifdef __EMSCRIPTEN__
        return;
#endif
        std::fflush(stderr);
        saved_ = dup(2);
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, 2);
            close(devNull);
        }
    }
    ~QuietStderr() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_ = -1;
};

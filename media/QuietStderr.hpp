#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

// While alive, the process's stderr goes to /dev/null. Libraries print their own complaints
// when a device or a display is missing; the program says what went wrong in one line of its
// own instead. Restores the original stderr when it goes out of scope (one at a time).
class QuietStderr {
  public:
    QuietStderr() {
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

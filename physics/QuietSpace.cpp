#include "physics/QuietSpace.hpp"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

cpSpace* NewQuietSpace() {
    // The distribution's build keeps the library's debug checks, and with them a two-line
    // banner printed on stdout when the first space is made. The program talks to nobody on
    // stdout, so the descriptor is pointed at /dev/null for that one call.
    static bool bannerGone = false;
    if (bannerGone) {
        return cpSpaceNew();
    }
    bannerGone = true;
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const bool redirected = saved >= 0 && sink >= 0 && dup2(sink, STDOUT_FILENO) >= 0;
    cpSpace* space = cpSpaceNew();
    std::fflush(stdout);
    if (redirected) {
        dup2(saved, STDOUT_FILENO);
    }
    if (sink >= 0) {
        close(sink);
    }
    if (saved >= 0) {
        close(saved);
    }
    return space;
}

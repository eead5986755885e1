#include "media/base/ProgramEnd.hpp"

namespace {
void (*endHandler)() = nullptr;
int exitStatus = 0;
} // namespace

void SetEndProgramHandler(void (*handler)()) {
    endHandler = handler;
}

void SetExitStatus(int status) {
    exitStatus = status;
}

void RunEndProgramHandler() {
    if (endHandler)
        endHandler();
}

int ExitStatus() {
    return exitStatus;
}

// Entry point of the Windows program: the desktop program's start, once the console and the
// command line are set up as a Windows window program needs them (media/windows/WindowsStart).
#include "app/Program.hpp"
#include "media/base/windows/WindowsStart.hpp"

int main() {
    const WindowsStart start;
    return RunProgram(start.Argc(), start.Argv());
}

#pragma once

#include <string>
#include <vector>

// What a Windows window program sets up before anything else runs (media/windows/).
// A program built for the window subsystem gets no console: when it was started from one and
// its output is not already going to a file or a pipe, --help, --version and error lines
// go to that console. Its command line is read as UTF-16 and handed on in UTF-8, so file names
// in any script reach the program whole.
class WindowsStart {
  public:
    // Attaches to the starting console (when needed) and reads the command line.
    WindowsStart();
    WindowsStart(const WindowsStart&) = delete;
    WindowsStart& operator=(const WindowsStart&) = delete;

    int Argc() const { return static_cast<int>(pointers_.size()) - 1; }
    // The arguments in UTF-8, the program's name first and a nullptr after the last; valid
    // while this object lives.
    const char* const* Argv() const { return pointers_.data(); }

  private:
    std::vector<std::string> arguments_;
    std::vector<const char*> pointers_;
};

#pragma once

#include <string>

// The program's command line. Without options the program plays as usual and reads no file; it
// writes one only for F12 (a screenshot) and Ctrl+S (a scene).
class Options {
  public:
    enum class Action { Run, Help, Version, Fail };

    Action action = Action::Run;
    std::string recordPath; // --record FILE: write the session's input to FILE
    std::string replayPath; // --replay FILE: play FILE's input back
    std::string scenePath;  // --scene FILE: start with the scene of FILE
    std::string error;      // Fail: one line naming what is wrong, without the program's name

    // Reads argv[1..argc-1]. Never exits nor prints.
    static Options Parse(int argc, const char* const* argv);
    // The --help text.
    static const char* Usage();
};

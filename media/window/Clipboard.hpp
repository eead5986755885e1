#pragma once

#include <string>

// The system's clipboard, for text the user pastes elsewhere (a link).
class Clipboard {
  public:
    // Puts text (UTF-8) on the clipboard. False when the platform refused it (no video
    // subsystem, no clipboard owner); the clipboard then holds what it held.
    static bool SetText(const std::string& text);
};

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How a value taken from a file or a link is shown in an error line that goes to a terminal and
// onto the screen: each byte under 0x20 and 0x7f as \xNN (an escape sequence could retitle or
// clear the terminal, a newline would split the line), and at most kMaxShown characters of the
// value, then "...". Pure.
class EchoedText {
  public:
    static constexpr std::size_t kMaxShown = 60;

    // text, escaped and cut to kMaxShown characters of its own (an escaped byte counts once).
    static std::string Shown(std::string_view text);
    // A whole line with its control bytes escaped, nothing cut.
    static std::string Escaped(std::string_view line);
};

#pragma once

#include <string>
#include <string_view>

// Text between UTF-16, which Windows' own calls speak (command lines, folder paths), and the
// UTF-8 every other part of the program keeps its texts and paths in. Plain code with no
// platform call, so it is the same (and tested) everywhere.
class Utf16 {
  public:
    // text as UTF-8. A surrogate without its partner (which a Windows file name may hold)
    // becomes U+FFFD, the replacement character, as Windows' own converter makes it.
    static std::string ToUtf8(std::u16string_view text);
};

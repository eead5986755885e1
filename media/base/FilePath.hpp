#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The program keeps file names as UTF-8 text. A std::filesystem::path made straight from such
// text is read in the C library's narrow encoding, which on Windows is not UTF-8 (a folder named
// "Bilder ä" became "Bilder Ã¤"); these two make and read paths as UTF-8 on every platform.
// On Linux they keep the bytes as they are, valid UTF-8 or not.
class FilePath {
  public:
    // The path named by text (UTF-8).
    static std::filesystem::path FromUtf8(std::string_view text);
    // path's name as UTF-8 text.
    static std::string ToUtf8(const std::filesystem::path& path);
};

#include "media/base/FilePath.hpp"

// char8_t text is UTF-8 by definition: on Windows the library converts it to the UTF-16 the
// file calls take, on Linux it is used byte for byte.
std::filesystem::path FilePath::FromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string FilePath::ToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

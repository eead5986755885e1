#include "scene/EchoedText.hpp"

#include <cstdio>

namespace {

void appendEscaped(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
        char code[5];
        std::snprintf(code, sizeof code, "\\x%02x", byte);
        out += code;
    } else {
        out += c;
    }
}

} // namespace

std::string EchoedText::Shown(std::string_view text) {
    std::string out;
    const std::size_t shown = text.size() > kMaxShown ? kMaxShown : text.size();
    out.reserve(shown + 8);
    for (std::size_t i = 0; i < shown; ++i) {
        appendEscaped(out, text[i]);
    }
    if (shown < text.size()) {
        out += "...";
    }
    return out;
}

std::string EchoedText::Escaped(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        appendEscaped(out, c);
    }
    return out;
}

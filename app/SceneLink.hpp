#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A scene or a recording carried in a page's address: the text deflated with zlib and written in
// base64url without padding, after "#scene=" or "#replay=". The desktop and the page encode alike.
class SceneLink {
  public:
    // Texts inflated from a link stay below this many bytes; a longer one (a deflate bomb) is
    // refused before it is whole.
    static constexpr std::size_t kMaxTextBytes = 16u << 20;
    // Links longer than this (in characters, address included) are not offered; the page offers
    // the file instead.
    static constexpr std::size_t kMaxLinkBytes = 64u << 10;

    enum class Kind { Scene, Replay };

    // text deflated (zlib, best compression) and in base64url without padding. Pure.
    static std::string Encode(std::string_view text);
    // The text payload holds. False with one line in error naming what is wrong (a character
    // outside base64url and where, a damaged or cut short stream, a text over kMaxTextBytes);
    // text is then empty. Inflates in steps: never holds more than kMaxTextBytes.
    static bool Decode(std::string_view payload, std::string& text, std::string& error);
    // Splits an address's fragment ("scene=..." or "replay=...", with or without its '#') into
    // what it carries and its payload. False with one line in error for any other fragment.
    static bool SplitFragment(std::string_view fragment, Kind& kind, std::string_view& payload,
                              std::string& error);
    // "scene" or "replay": the fragment's name for kind.
    static const char* Name(Kind kind);
};

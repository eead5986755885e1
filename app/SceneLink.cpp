#include "app/SceneLink.hpp"

#include <zlib.h>

#include <array>
#include <cstdio>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// Each byte's value in base64url, -1 for bytes outside it.
constexpr std::array<signed char, 256> decodingTable() {
    std::array<signed char, 256> table{};
    for (auto& value : table) {
        value = -1;
    }
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
    return table;
}
constexpr std::array<signed char, 256> kValue = decodingTable();

std::string base64url(const unsigned char* bytes, std::size_t size) {
    std::string out;
    out.reserve((size * 4 + 2) / 3);
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            out += kAlphabet[(v >> shift) & 63];
        }
    }
    // The last one or two bytes make two or three characters; padding would only lengthen links.
    if (i < size) {
        const unsigned v = bytes[i] << 16 | (i + 1 < size ? bytes[i + 1] << 8 : 0);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        if (i + 1 < size) {
            out += kAlphabet[(v >> 6) & 63];
        }
    }
    return out;
}

// A printable picture of a byte for an error line: control bytes and non-ASCII as \xHH.
std::string shown(unsigned char c) {
    char text[8];
    if (c >= 0x20 && c < 0x7f) {
        std::snprintf(text, sizeof text, "'%c'", c);
    } else {
        std::snprintf(text, sizeof text, "\\x%02X", c);
    }
    return text;
}

bool unbase64url(std::string_view text, std::string& bytes, std::string& error) {
    bytes.clear();
    bytes.reserve(text.size() * 3 / 4);
    unsigned v = 0;
    int bits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const signed char d = kValue[static_cast<unsigned char>(text[i])];
        if (d < 0) {
            error = "the link has " + shown(static_cast<unsigned char>(text[i])) +
                    " at character " + std::to_string(i + 1) + ", which is not base64url";
            return false;
        }
        v = (v << 6 | static_cast<unsigned>(d)) & 0xFFFFFFu;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((v >> bits) & 0xFF);
        }
    }
    // Four characters carry three bytes; a single character left over carries none.
    if (text.size() % 4 == 1) {
        error = "the link is cut short (its length " + std::to_string(text.size()) +
                " is not a base64url length)";
        return false;
    }
    return true;
}

} // namespace

std::string SceneLink::Encode(std::string_view text) {
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::string packed(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(packed.data());
    z.avail_out = static_cast<uInt>(packed.size());
    // deflateBound leaves room for the whole stream: one call finishes it.
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    return base64url(reinterpret_cast<const unsigned char*>(packed.data()), packed.size());
}

bool SceneLink::Decode(std::string_view payload, std::string& text, std::string& error) {
    text.clear();
    std::string packed;
    if (!unbase64url(payload, packed, error)) {
        return false;
    }
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        error = "the link cannot be unpacked (out of memory)";
        return false;
    }
    z.next_in = reinterpret_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    // Out in steps, so that a small link that inflates to gigabytes stops at the limit instead
    // of taking the memory first.
    std::array<unsigned char, 64 * 1024> chunk;
    // A stream cut short ends in Z_BUF_ERROR: no input left to make progress with.
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = chunk.size() - z.avail_out;
        if (text.size() + produced > kMaxTextBytes) {
            inflateEnd(&z);
            text.clear();
            error = "the link unpacks to more than 16 MB";
            return false;
        }
        text.append(reinterpret_cast<const char*>(chunk.data()), produced);
    }
    const bool whole = status == Z_STREAM_END;
    const std::string why = z.msg != nullptr ? z.msg : "it ends too soon";
    const bool trailing = whole && z.avail_in != 0;
    inflateEnd(&z);
    if (!whole || trailing) {
        text.clear();
        error = trailing ? std::string("the link has bytes after its end")
                         : "the link is damaged or cut short (" + why + ")";
        return false;
    }
    return true;
}

bool SceneLink::SplitFragment(std::string_view fragment, Kind& kind, std::string_view& payload,
                              std::string& error) {
    if (!fragment.empty() && fragment.front() == '#') {
        fragment.remove_prefix(1);
    }
    for (const Kind k : {Kind::Scene, Kind::Replay}) {
        const std::string prefix = std::string(Name(k)) + "=";
        if (fragment.starts_with(prefix)) {
            kind = k;
            payload = fragment.substr(prefix.size());
            return true;
        }
    }
    error = "the link's address ends in neither #scene= nor #replay=";
    return false;
}

const char* SceneLink::Name(Kind kind) {
    return kind == Kind::Scene ? "scene" : "replay";
}

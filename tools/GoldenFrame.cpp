#include "tools/GoldenFrame.hpp"

#include "media/Graphics.hpp"
#include "media/base/FilePath.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TImage.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// The box of the back buffer with alpha set to 255: the window shows no alpha, and blending
// leaves values there that differ between renderers without changing a visible pixel.
std::optional<Picture> grab(const ShotBox& box) {
    std::vector<std::uint8_t> all;
    int w = 0, h = 0;
    if (!ReadBackBuffer(all, w, h)) {
        return std::nullopt;
    }
    ShotBox b = box;
    if (b.w == 0) {
        b = ShotBox{0, 0, w, h};
    }
    if (b.x < 0 || b.y < 0 || b.w <= 0 || b.h <= 0 || b.w > w - b.x || b.h > h - b.y) {
        return std::nullopt;
    }
    Picture p;
    p.width = b.w;
    p.height = b.h;
    p.rgba.resize(static_cast<std::size_t>(b.w) * static_cast<std::size_t>(b.h) * 4);
    for (int y = 0; y < b.h; ++y) {
        const std::uint8_t* src = all.data() + (static_cast<std::ptrdiff_t>(b.y + y) * w + b.x) * 4;
        std::uint8_t* dst = p.rgba.data() + static_cast<std::ptrdiff_t>(y) * b.w * 4;
        for (int x = 0; x < b.w; ++x) {
            dst[4 * x] = src[4 * x];
            dst[4 * x + 1] = src[4 * x + 1];
            dst[4 * x + 2] = src[4 * x + 2];
            dst[4 * x + 3] = 255;
        }
    }
    return p;
}

// Writes every byte to fd; false on the first failure.
bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Windows' write takes an unsigned int count: a picture goes in pieces of at most 1 GiB.
        const auto count =
            static_cast<unsigned int>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const ssize_t n = ::write(fd, bytes.data() + done, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A picture is written under a new name beside the target and renamed over it when whole: a
// reader never sees half a picture, and a failed write leaves whatever was at the target as it
// was; only the file made here is removed. A target that is not a plain file (a device, a
// pipe, a link) is written in place instead, as renaming over it would replace it.
bool writePng(const Picture& p, const std::string& path) {
    const std::vector<std::uint8_t> bytes = EncodePng(p.rgba.data(), p.width, p.height);
    if (bytes.empty()) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::file_status existing =
        std::filesystem::symlink_status(FilePath::FromUtf8(path), ec);
    if (std::filesystem::exists(existing) && !std::filesystem::is_regular_file(existing)) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const bool written = writeAll(fd, bytes);
        return ::close(fd) == 0 && written;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private to its owner; the picture gets the usual permissions.
    const auto mask = ::umask(0);
    ::umask(mask);
    std::filesystem::permissions(FilePath::FromUtf8(temporary),
                                 static_cast<std::filesystem::perms>(0666 & ~mask), ec);
    const bool written = writeAll(fd, bytes);
    // std::filesystem's rename replaces an earlier picture on Windows too (the C library's
    // refuses there when the name is taken).
    if (::close(fd) == 0 && written) {
        std::filesystem::rename(FilePath::FromUtf8(temporary), FilePath::FromUtf8(path), ec);
        if (!ec) {
            return true;
        }
    }
    std::filesystem::remove(FilePath::FromUtf8(temporary), ec);
    return false;
}

std::optional<Picture> readPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    const std::optional<DecodedPng> decoded = DecodePng(bytes.data(), bytes.size());
    if (!decoded) {
        return std::nullopt;
    }
    return Picture{decoded->width, decoded->height, decoded->rgba};
}

std::string hex(const std::uint8_t* px) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", px[0], px[1], px[2]);
    return text;
}

} // namespace

std::string ShotBoxProblem(const ShotBox& box, const std::string& name) {
    std::vector<std::uint8_t> all;
    int w = 0, h = 0;
    if (!ReadBackBuffer(all, w, h) || grab(box)) {
        return "";
    }
    return "shot " + name + ": the box " + std::to_string(box.x) + " " + std::to_string(box.y) +
           " " + std::to_string(box.w) + " " + std::to_string(box.h) + " lies outside the " +
           std::to_string(w) + " x " + std::to_string(h) + " frame";
}

bool SaveShot(const ShotBox& box, const std::string& path) {
    const std::optional<Picture> p = grab(box);
    return p && writePng(*p, path);
}

std::string CompareShotWithGolden(const ShotBox& box, const std::string& goldenDir,
                                  const std::string& outDir, const std::string& name) {
    const std::optional<Picture> actual = grab(box);
    if (!actual) {
        return "shot " + name + ": the box lies outside the frame";
    }
    const std::string goldenPath = goldenDir + "/" + name + ".png";
    const std::string actualPath = outDir + "/" + name + ".actual.png";
    const std::string diffPath = outDir + "/" + name + ".diff.png";
    const std::optional<Picture> golden = readPng(goldenPath);
    if (!golden) {
        writePng(*actual, actualPath);
        return "golden " + goldenPath + " is missing or unreadable; actual frame: " + actualPath;
    }
    if (golden->width != actual->width || golden->height != actual->height) {
        writePng(*actual, actualPath);
        return "golden " + name + " is " + std::to_string(golden->width) + "x" +
               std::to_string(golden->height) + ", the frame " + std::to_string(actual->width) +
               "x" + std::to_string(actual->height) + "; actual frame: " + actualPath;
    }
    Picture diff = *golden;
    long differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < actual->height; ++y) {
        for (int x = 0; x < actual->width; ++x) {
            const auto i = static_cast<std::size_t>(y * actual->width + x) * 4;
            const bool same = golden->rgba[i] == actual->rgba[i] &&
                              golden->rgba[i + 1] == actual->rgba[i + 1] &&
                              golden->rgba[i + 2] == actual->rgba[i + 2];
            std::uint8_t* d = &diff.rgba[i];
            if (same) {
                // A dimmed grey of the golden keeps the scene recognisable around the red.
                const auto grey =
                    static_cast<std::uint8_t>((d[0] * 77 + d[1] * 150 + d[2] * 29) / 256 / 3);
                d[0] = d[1] = d[2] = grey;
            } else {
                if (differing == 0) {
                    firstX = x;
                    firstY = y;
                }
                ++differing;
                d[0] = 255;
                d[1] = d[2] = 0;
            }
            d[3] = 255;
        }
    }
    if (differing == 0) {
        return "";
    }
    writePng(*actual, actualPath);
    writePng(diff, diffPath);
    const auto first = static_cast<std::size_t>(firstY * actual->width + firstX) * 4;
    return "golden " + name + ": " + std::to_string(differing) + " of " +
           std::to_string(static_cast<long>(actual->width) * actual->height) +
           " pixels differ, the first at (" + std::to_string(firstX + box.x) + ", " +
           std::to_string(firstY + box.y) + "): expected " + hex(&golden->rgba[first]) + ", got " +
           hex(&actual->rgba[first]) + "; actual frame: " + actualPath +
           "; difference: " + diffPath +
           " (a change you meant: tests/golden/update.sh regenerates the goldens)";
}

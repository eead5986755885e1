#include "tools/gen_assets_image.hpp"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double SmoothStep(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgba WithAlpha(Rgba c, double a) {
    c.a = a;
    return c;
}

Rgba Mix(Rgba a, Rgba b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Rgba Over(Rgba top, Rgba bottom) {
    const double a = top.a + bottom.a * (1 - top.a);
    if (a <= 0) {
        return {};
    }
    auto ch = [&](double t, double b) { return (t * top.a + b * bottom.a * (1 - top.a)) / a; };
    return {ch(top.r, bottom.r), ch(top.g, bottom.g), ch(top.b, bottom.b), a};
}

namespace {

std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0));
}

struct PngWriter {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    explicit PngWriter(const std::string& path) {
        file = std::fopen(path.c_str(), "wb");
        if (file) {
            png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
            info = png ? png_create_info_struct(png) : nullptr;
        }
    }
    ~PngWriter() {
        if (png) {
            png_destroy_write_struct(&png, info ? &info : nullptr);
        }
        if (file) {
            std::fclose(file);
        }
    }
    bool Ok() const { return file && png && info; }
};

bool WriteRows(PngWriter& w, const std::vector<std::vector<std::uint8_t>>& rows) {
    std::vector<png_bytep> ptrs;
    for (const auto& r : rows) {
        ptrs.push_back(const_cast<png_bytep>(r.data()));
    }
    // Fixed settings so the bytes depend only on the pixels.
    png_set_compression_level(w.png, 9);
    png_set_filter(w.png, 0, PNG_ALL_FILTERS);
    png_write_info(w.png, w.info);
    png_write_image(w.png, ptrs.data());
    png_write_end(w.png, nullptr);
    return true;
}

} // namespace

void Render(Picture& pic, int ox, int oy, int w, int h, int ss, const Shader& shader) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgba c = shader(i + (sx + 0.5) / ss, j + (sy + 0.5) / ss);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            std::uint8_t* p = pic.At(ox + i, oy + j);
            if (a > 0) {
                p[0] = ToByte(r / a);
                p[1] = ToByte(g / a);
                p[2] = ToByte(b / a);
            } else {
                p[0] = p[1] = p[2] = 0;
            }
            p[3] = ToByte(a / (ss * ss));
        }
    }
}

void HardenAlpha(Picture& pic, int threshold) {
    for (std::size_t i = 3; i < pic.rgba.size(); i += 4) {
        pic.rgba[i] = pic.rgba[i] >= threshold ? 255 : 0;
        if (pic.rgba[i] == 0) {
            pic.rgba[i - 3] = pic.rgba[i - 2] = pic.rgba[i - 1] = 0;
        }
    }
}

bool WritePngRgba(const std::string& path, const Picture& pic) {
    PngWriter w(path);
    if (!w.Ok() || setjmp(png_jmpbuf(w.png))) {
        return false;
    }
    png_init_io(w.png, w.file);
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(pic.width),
                 static_cast<png_uint_32>(pic.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < pic.height; ++y) {
        rows.emplace_back(pic.At(0, y), pic.At(0, y) + static_cast<std::size_t>(pic.width) * 4);
    }
    return WriteRows(w, rows);
}

bool WritePngPalette(const std::string& path, const Picture& pic) {
    // Index 0 is the transparent entry; the opaque colours follow in
    // ascending RGB order so the table depends only on the pixels.
    std::map<std::uint32_t, int> index;
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            const std::uint8_t* p = pic.At(x, y);
            if (p[3] != 0) {
                index[(p[0] << 16) | (p[1] << 8) | p[2]] = 0;
            }
        }
    }
    if (index.size() > 255) {
        std::fprintf(stderr, "%s: %zu colours do not fit a palette\n", path.c_str(), index.size());
        return false;
    }
    std::vector<png_color> palette(1, png_color{0, 0, 0});
    for (auto& [rgb, i] : index) {
        i = static_cast<int>(palette.size());
        palette.push_back(png_color{static_cast<png_byte>(rgb >> 16),
                                    static_cast<png_byte>((rgb >> 8) & 255),
                                    static_cast<png_byte>(rgb & 255)});
    }
    PngWriter w(path);
    if (!w.Ok() || setjmp(png_jmpbuf(w.png))) {
        return false;
    }
    png_init_io(w.png, w.file);
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(pic.width),
                 static_cast<png_uint_32>(pic.height), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(w.png, w.info, palette.data(), static_cast<int>(palette.size()));
    png_byte trans[1] = {0};
    png_set_tRNS(w.png, w.info, trans, 1, nullptr);
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < pic.height; ++y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(pic.width));
        for (int x = 0; x < pic.width; ++x) {
            const std::uint8_t* p = pic.At(x, y);
            row[static_cast<std::size_t>(x)] =
                p[3] == 0 ? 0 : static_cast<std::uint8_t>(index[(p[0] << 16) | (p[1] << 8) | p[2]]);
        }
        rows.push_back(std::move(row));
    }
    return WriteRows(w, rows);
}

bool WriteWavMono16(const std::string& path, const std::vector<std::int16_t>& samples, int rate) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    auto u32 = [&](std::uint32_t v) {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto u16 = [&](std::uint16_t v) {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate * 2));
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
    for (std::int16_t s : samples) {
        u16(static_cast<std::uint16_t>(s));
    }
    return std::fclose(f) == 0;
}

bool ReadPng(const std::string& path, Picture& pic) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    pic = Picture(static_cast<int>(image.width), static_cast<int>(image.height));
    const bool ok = png_image_finish_read(&image, nullptr, pic.rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

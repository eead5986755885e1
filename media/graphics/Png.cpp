#include "media/graphics/Png.hpp"

#include <png.h>

#include <cstring>

namespace {

// libpng's simplified description of an RGBA picture of width x height.
png_image RgbaImage(int width, int height) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(width);
    img.height = static_cast<png_uint_32>(height);
    img.format = PNG_FORMAT_RGBA;
    return img;
}

} // namespace

std::optional<DecodedPng> DecodePng(const unsigned char* data, std::size_t size) {
    if (!data || size == 0)
        return std::nullopt;
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size))
        return std::nullopt;
    DecodedPng out;
    out.width = static_cast<int>(img.width);
    out.height = static_cast<int>(img.height);
    out.palette = (img.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    out.hasAlpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&img);
        return std::nullopt;
    }
    return out;
}

std::vector<std::uint8_t> EncodePng(const std::uint8_t* rgba, int width, int height) {
    png_image img = RgbaImage(width, height);
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&img, nullptr, &size, 0, rgba, 0, nullptr))
        return {};
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&img, out.data(), &size, 0, rgba, 0, nullptr))
        return {};
    out.resize(size);
    return out;
}

bool WritePngFile(const std::string& path, const std::uint8_t* rgba, int width, int height) {
    png_image img = RgbaImage(width, height);
    return png_image_write_to_file(&img, path.c_str(), 0, rgba, 0, nullptr) != 0;
}

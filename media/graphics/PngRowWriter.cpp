#include "media/graphics/PngRowWriter.hpp"

#include "media/base/FilePath.hpp"

#include <png.h>

#include <csetjmp>
#include <filesystem>
#include <system_error>

// libpng reports its errors by longjmp back to the setjmp of the call that failed. Each call into
// it therefore sits alone in a small function of its own that holds nothing to destroy, so the
// jump skips no destructor.

namespace {
// A failed write is the caller's to report, in its own words: libpng says nothing on stderr.
[[noreturn]] void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void Ignore(png_structp, png_const_charp) {}
} // namespace

PngRowWriter::PngRowWriter(const std::string& path, int width, int height) : path_(path) {
    if (width <= 0 || height <= 0) {
        failed_ = true;
        return;
    }
    // Only a file made here is removed on failure (a device such as /dev/full never is).
    std::error_code error;
    created_ = !std::filesystem::exists(FilePath::FromUtf8(path), error) && !error;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        failed_ = true;
        return;
    }
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &Fail, &Ignore);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
    rowsLeft_ = height;
    if (!info_ || !begin(width, height))
        abandon();
}

PngRowWriter::~PngRowWriter() {
    if (file_)
        abandon();
    if (png_)
        png_destroy_write_struct(&png_, &info_);
}

bool PngRowWriter::begin(int width, int height) {
    if (setjmp(png_jmpbuf(png_)))
        return false;
    png_init_io(png_, file_);
    png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png_, info_);
    return true;
}

bool PngRowWriter::WriteRow(const std::uint8_t* rgba) {
    if (failed_ || rowsLeft_ <= 0 || !rgba)
        return false;
    if (!writeRow(rgba)) {
        abandon();
        return false;
    }
    --rowsLeft_;
    return true;
}

bool PngRowWriter::writeRow(const std::uint8_t* rgba) {
    if (setjmp(png_jmpbuf(png_)))
        return false;
    png_write_row(png_, rgba);
    return true;
}

bool PngRowWriter::Finish() {
    if (failed_ || rowsLeft_ != 0 || !end()) {
        if (file_)
            abandon();
        failed_ = true;
        return false;
    }
    // A full disk shows only when the last buffered bytes go out.
    const bool written = std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        if (created_)
            std::remove(path_.c_str());
        failed_ = true;
    }
    return !failed_;
}

bool PngRowWriter::end() {
    if (setjmp(png_jmpbuf(png_)))
        return false;
    png_write_end(png_, info_);
    return true;
}

void PngRowWriter::abandon() {
    failed_ = true;
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
        if (created_)
            std::remove(path_.c_str());
    }
}

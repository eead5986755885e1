#include "media/graphics/PngRowWriter.hpp"
#include "media/graphics/Png.hpp"
#include "support/TempFolder.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

// Rows written one at a time decode to the same picture, alpha included.
TEST(PngRowWriter, RowsMakeThePicture) {
    const TempFolder folder;
    const std::string path = folder.File("rows.png");
    const int w = 5, h = 3;
    std::vector<std::uint8_t> rgba(w * h * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = static_cast<std::uint8_t>(i * 37 + 11);
    PngRowWriter png(path, w, h);
    ASSERT_TRUE(png.Ok());
    for (int y = 0; y < h; ++y)
        ASSERT_TRUE(png.WriteRow(rgba.data() + y * w * 4));
    EXPECT_FALSE(png.WriteRow(rgba.data())); // one row too many
    ASSERT_TRUE(png.Finish());
    const auto bytes = ReadFile(path);
    const auto decoded = DecodePng(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, w);
    EXPECT_EQ(decoded->height, h);
    EXPECT_EQ(decoded->rgba, rgba);
}

// What cannot be written whole is reported, and no half file stays behind.
TEST(PngRowWriter, FailuresLeaveNoFile) {
    const TempFolder folder;
    const std::vector<std::uint8_t> row(4 * 4, 200);
    {
        const std::string path = folder.File("short.png");
        PngRowWriter png(path, 4, 2);
        ASSERT_TRUE(png.WriteRow(row.data()));
        EXPECT_FALSE(png.Finish()); // one row of two
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(PngRowWriter(folder.File("no/such/folder.png"), 4, 2).Ok());
    EXPECT_FALSE(PngRowWriter(folder.File("empty.png"), 0, 2).Ok());
    if (std::filesystem::exists("/dev/full")) {
        // A full disk: the bytes go out only at the end.
        PngRowWriter png("/dev/full", 4, 2);
        ASSERT_TRUE(png.WriteRow(row.data()));
        ASSERT_TRUE(png.WriteRow(row.data()));
        EXPECT_FALSE(png.Finish());
    }
}

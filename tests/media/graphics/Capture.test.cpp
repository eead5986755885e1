#include "media/MediaTestSupport.hpp"
#include "support/TempFolder.hpp"

#include <cstdio>
#include <string>
#include <vector>

using namespace mediatest;

TEST_F(OffscreenTest, BackBufferSavesAsPng) {
    SetBlend(Blend::Solid);
    DrawText("X", 0, 0);
    const TempFolder folder;
    const std::string path = folder.File("media_backbuffer.png");
    ASSERT_TRUE(SaveBackBufferPng(path));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    std::vector<unsigned char> bytes(1 << 20);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    std::remove(path.c_str());
    auto png = DecodePng(bytes.data(), bytes.size());
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, 1024);
    EXPECT_EQ(png->height, 768);
    EXPECT_EQ(png->rgba[0], 255); // the solid glyph cell at the top-left corner
    EXPECT_EQ(png->rgba[(20 * 1024 + 20) * 4], 0);
}

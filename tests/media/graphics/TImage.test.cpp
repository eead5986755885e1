#include "media/MediaTestSupport.hpp"

#include <png.h>

#include <array>
#include <cstring>

using namespace mediatest;

namespace {
// 240 x 48 sheet of 24 x 24 cells; every pixel of cell c has red = c * 10.
const std::string& SheetUrl() {
    static const std::string url = RegisterPng(
        "test\\sheet.png",
        MakeRgba(
            240, 48,
            [](int x, int y) {
                const int cell = (y / 24) * 10 + x / 24;
                return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(cell * 10), 7, 9, 255};
            }),
        240, 48);
    return url;
}

std::vector<std::uint8_t> EncodeWith(png_uint_32 format, const void* pixels, int w, int h,
                                     const void* colormap = nullptr, int entries = 0) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(w);
    img.height = static_cast<png_uint_32>(h);
    img.format = format;
    img.colormap_entries = static_cast<png_uint_32>(entries);
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&img, nullptr, &size, 0, pixels, 0, colormap));
    std::vector<std::uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&img, out.data(), &size, 0, pixels, 0, colormap));
    out.resize(size);
    return out;
}

class ImageTest : public OffscreenTest {};
} // namespace

TEST_F(ImageTest, AnimImageCutsCellsLeftToRightThenDown) {
    auto img = LoadAnimImage(SheetUrl(), 24, 24, 0, 19);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->FrameCount(), 19);
    EXPECT_EQ(ImageWidth(*img), 24);
    EXPECT_EQ(ImageHeight(*img), 24);
    for (int k : {0, 9, 10, 18})
        EXPECT_EQ(img->pixmaps[static_cast<std::size_t>(k)].pixels[0], k * 10) << k;
    auto tail = LoadAnimImage(SheetUrl(), 24, 24, 1, 19);
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->pixmaps[18].pixels[0], 190); // the last of the twenty cells
}

TEST_F(ImageTest, AnimImageFailsWithTooFewCells) {
    EXPECT_FALSE(LoadAnimImage(SheetUrl(), 24, 24, 0, 21));
    EXPECT_FALSE(LoadAnimImage(SheetUrl(), 24, 24, 2, 19));
    EXPECT_TRUE(LoadAnimImage(SheetUrl(), 24, 24, 0, 20));
    EXPECT_FALSE(LoadAnimImage(SheetUrl(), 25, 24, 0, 20)); // 9 columns only
}

TEST_F(ImageTest, FramesDrawTheirOwnCells) {
    auto img = LoadAnimImage(SheetUrl(), 24, 24, 0, 20, 0);
    ASSERT_TRUE(img);
    DrawImage(*img, 0, 0, 13);
    EXPECT_EQ(PixelRgb(5, 5), Rgb(130, 7, 9));
    EXPECT_EQ(PixelRgb(24, 5), Rgb(0, 0, 0));
}

TEST_F(ImageTest, MissingOrUndecodableResourcesGiveNull) {
    EXPECT_FALSE(LoadImage("incbin::no\\such.png"));
    EXPECT_FALSE(LoadImage("test\\sheet.png"));         // without the prefix
    EXPECT_FALSE(LoadImage("incbin::TEST\\SHEET.PNG")); // names are case sensitive
    const std::string junk = RegisterBytes("test\\junk.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    EXPECT_FALSE(LoadImage(junk));
    EXPECT_FALSE(LoadAnimImage(junk, 1, 1, 0, 1));
    auto truncated = EncodePng(std::vector<std::uint8_t>(64 * 64 * 4, 77).data(), 64, 64);
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(LoadImage(RegisterBytes("test\\truncated.png", truncated)));
}

TEST_F(ImageTest, PaletteWithTransparencyDecodes) {
    const std::uint8_t colormap[2][4] = {{10, 20, 30, 0}, {200, 150, 100, 255}};
    const std::uint8_t indices[4] = {0, 1, 1, 0};
    auto bytes = EncodeWith(PNG_FORMAT_RGBA_COLORMAP, indices, 2, 2, colormap, 2);
    auto png = DecodePng(bytes.data(), bytes.size());
    ASSERT_TRUE(png);
    EXPECT_TRUE(png->palette);
    EXPECT_TRUE(png->hasAlpha);
    EXPECT_EQ(png->rgba[3], 0);
    EXPECT_EQ(png->rgba[4], 200);
    EXPECT_EQ(png->rgba[7], 255);
    auto img = LoadImage(RegisterBytes("test\\palette.png", bytes));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixmaps[0].pixels[3], 0);
    EXPECT_EQ(img->pixmaps[0].pixels[5], 150);

    auto rgba = EncodePng(std::vector<std::uint8_t>(4, 255).data(), 1, 1);
    auto direct = DecodePng(rgba.data(), rgba.size());
    ASSERT_TRUE(direct);
    EXPECT_FALSE(direct->palette);
    EXPECT_TRUE(direct->hasAlpha);
}

TEST_F(ImageTest, MaskedFlagClearsTheMaskColourOnlyWithoutAlpha) {
    const std::uint8_t rgb[6] = {0, 0, 0, 50, 60, 70};
    const std::string url = RegisterBytes("test\\rgb.png", EncodeWith(PNG_FORMAT_RGB, rgb, 2, 1));
    auto masked = LoadImage(url, 1);
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->pixmaps[0].pixels[3], 0); // black = the mask colour
    EXPECT_EQ(masked->pixmaps[0].pixels[7], 255);
    auto plain = LoadImage(url, 0);
    EXPECT_EQ(plain->pixmaps[0].pixels[3], 255);
    auto withAlpha =
        LoadImage(RegisterPng("test\\black_opaque.png",
                              MakeRgba(1, 1,
                                       [](int, int) {
                                           return std::array<std::uint8_t, 4>{0, 0, 0, 255};
                                       }),
                              1, 1));
    ASSERT_TRUE(withAlpha);
    EXPECT_EQ(withAlpha->flags, 3); // the default flags
    EXPECT_EQ(withAlpha->pixmaps[0].pixels[3], 255);
}

TEST_F(ImageTest, AutoCentreHandleAndExplicitHandle) {
    const std::string url =
        RegisterPng("test\\odd.png",
                    MakeRgba(25, 11,
                             [](int, int) {
                                 return std::array<std::uint8_t, 4>{1, 2, 3, 255};
                             }),
                    25, 11);
    auto corner = LoadImage(url);
    EXPECT_EQ(corner->handle_x, 0.0f);
    SetAutoCenterHandle(true);
    auto centred = LoadImage(url);
    EXPECT_EQ(centred->handle_x, 12.5f);
    EXPECT_EQ(centred->handle_y, 5.5f);
    SetImageHandle(*centred, 1.0f, 2.0f);
    EXPECT_EQ(centred->handle_x, 1.0f);
    EXPECT_EQ(centred->handle_y, 2.0f);
}

TEST_F(ImageTest, TextureIsMadeOnceAndRemadeForANewWindow) {
    auto img = LoadAnimImage(SheetUrl(), 24, 24, 0, 2, 0); // loaded before it is ever drawn
    SetBlend(Blend::Alpha);
    DrawImage(*img, 0, 0);
    SDL_Texture* first = img->FrameTexture(0);
    ASSERT_NE(first, nullptr);
    DrawImage(*img, 30, 0);
    EXPECT_EQ(img->FrameTexture(0), first);
    CloseGraphics();
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0));
    DrawImage(*img, 0, 0, 1);
    EXPECT_EQ(PixelRgb(3, 3), Rgb(10, 7, 9));
}

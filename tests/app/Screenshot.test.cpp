#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/Screenshot.hpp"
#include "media/Graphics.hpp"
#include "support/TempFolder.hpp"

namespace fs = std::filesystem;

namespace {

// A fake environment for the folder lookups.
std::map<std::string, std::string> env;
const char* fakeGetenv(const char* name) {
    const auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
}

class ScreenshotTest : public ::testing::Test {
  protected:
    void SetUp() override { env = {{"HOME", home.string()}}; }
    void TearDown() override { env.clear(); }
    TempFolder folder;
    const fs::path home = folder.Path();
};

} // namespace

TEST_F(ScreenshotTest, PicturesFolderFromXdgThenPicturesMadeWhenMissing) {
    // No pictures folder yet: ~/Pictures is made, never the working folder.
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Pictures").string());
    EXPECT_TRUE(fs::is_directory(home / "Pictures"));
    // xdg-user-dirs' file names another folder, relative to $HOME; it is made too.
    fs::create_directories(home / ".config");
    std::ofstream(home / ".config/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Bilder").string());
    EXPECT_TRUE(fs::is_directory(home / "Bilder"));
    // XDG_CONFIG_HOME moves the file; a folder switched off ($HOME itself) or one that cannot
    // be made (under a plain file) is passed over for ~/Pictures.
    fs::create_directories(home / "cfg");
    env["XDG_CONFIG_HOME"] = (home / "cfg").string();
    std::ofstream(home / "cfg/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/\"\n";
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Pictures").string());
    std::ofstream(home / "file") << "x";
    std::ofstream(home / "cfg/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/file/pics\"\n";
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Pictures").string());
    // The variable itself comes first, unless it is relative.
    env["XDG_PICTURES_DIR"] = "pics";
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Pictures").string());
    env["XDG_PICTURES_DIR"] = (home / "Shots").string();
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), (home / "Shots").string());
    // Only without any home nor pictures folder: the working folder.
    env = {};
    EXPECT_EQ(Screenshot::PicturesDirectory(&fakeGetenv), ".");
    EXPECT_FALSE(fs::exists("pics"));
}

TEST_F(ScreenshotTest, NameCarriesDateAndTime) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    t.tm_isdst = -1;
    EXPECT_EQ(Screenshot::FileName(std::mktime(&t)), "dazozi-redov-2026-12-07-090503.png");
}

TEST_F(ScreenshotTest, SavedPngDecodesToTheFrame) {
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    InitMedia();
    ASSERT_TRUE(OpenGraphics(64, 48, 0, 60, 0)) << GraphicsError();
    SetClsColor(10, 20, 30);
    Cls();
    SetColor(200, 100, 50);
    DrawRect(5, 6, 20, 10);
    SetColor(255, 255, 255);
    fs::create_directories(home / "Pictures");

    const std::time_t when = 1'800'000'000;
    const std::string first = Screenshot::Save(when, &fakeGetenv);
    const std::string second = Screenshot::Save(when, &fakeGetenv); // same second: not lost
    ASSERT_EQ(first, (home / "Pictures" / Screenshot::FileName(when)).string());
    ASSERT_NE(second, first);
    EXPECT_TRUE(fs::exists(second));
    // Only the two pictures, under their own names: nothing half-written is left beside them.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(home / "Pictures")) {
        EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 2);

    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&img, first.c_str()), 0);
    img.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(img));
    ASSERT_NE(png_image_finish_read(&img, nullptr, pixels.data(), 0, nullptr), 0);
    ASSERT_EQ(img.width, 64u);
    ASSERT_EQ(img.height, 48u);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = &pixels[static_cast<std::size_t>(y * 64 + x) * 4];
            const std::uint32_t rgba = (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                       (std::uint32_t(p[2]) << 8) | p[3];
            ASSERT_EQ(rgba, ReadPixel(x, y)) << x << "," << y;
        }
    }
    CloseGraphics();
    SetGraphicsTarget(GraphicsTarget::Window);
    SetClsColor(0, 0, 0);
}

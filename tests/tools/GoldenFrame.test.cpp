#include "tools/GoldenFrame.hpp"

#include "media/Graphics.hpp"
#include "media/graphics/Png.hpp"
#include "media/graphics/TImage.hpp"
#include "support/TempFolder.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class GoldenFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        ASSERT_TRUE(OpenGraphics(64, 48, 0, 0, 0)) << GraphicsError();
        SetClsColor(10, 200, 30);
        Cls();
    }
    void TearDown() override {
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
    }
    TempFolder folder;
};

} // namespace

TEST_F(GoldenFrameTest, ShotIsWrittenWholeAndReadsBack) {
    const std::string path = folder.File("shot.png");
    { std::ofstream(path) << "an older picture"; }
    ASSERT_TRUE(SaveShot(ShotBox{}, path));
    const std::string bytes = ReadFile(path);
    const auto decoded =
        DecodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 64);
    EXPECT_EQ(decoded->height, 48);
    EXPECT_EQ(decoded->rgba[0], 10);
    EXPECT_EQ(decoded->rgba[1], 200);
    // Nothing but the picture is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A write that fails half-way (here: the process may not write files that large, as on a full
// disk) leaves what was at the target as it was, and nothing of its own behind.
TEST_F(GoldenFrameTest, FailedWriteLeavesTheTargetAlone) {
    const std::string path = folder.File("shot.png");
    { std::ofstream(path) << "old"; }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16; // bytes: far less than any PNG of the frame
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveShot(ShotBox{}, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

#include "data/Resources.hpp"

#include "media/audio/TSound.hpp"
#include "media/base/Embedded.hpp"
#include "media/graphics/TImage.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {
    "data\\img\\anchor.png",    "data\\img\\BACK1TileSet.png", "data\\img\\ball.png",
    "data\\img\\blueBall.png",  "data\\img\\brightStar.png",   "data\\img\\cube.png",
    "data\\img\\L1TileSet.png", "data\\img\\link.png",         "data\\img\\reflectBall.png",
    "data\\img\\star.png",      "data\\snd\\metal_drop_1.wav"};

std::filesystem::path RepoFile(std::string name) {
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / name;
}

std::vector<unsigned char> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override { RegisterResources(); }
    void TearDown() override {
        SetAutoCenterHandle(false);
        blueBallImage = ballImage = reflectBallImage = cubeImage = starImage = brightStarImage =
            linkImage = anchorImage = nullptr;
        metalDropSound = nullptr;
    }
};

} // namespace

TEST_F(ResourcesTest, EveryFileIsRegisteredWithTheBytesOfItsFile) {
    for (const char* name : kNames) {
        const auto bytes = OpenEmbedded(std::string("incbin::") + name);
        ASSERT_TRUE(bytes.has_value()) << name;
        const std::vector<unsigned char> file = ReadFile(RepoFile(name));
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_EQ(bytes->size, file.size()) << name;
        EXPECT_TRUE(std::equal(file.begin(), file.end(), bytes->data)) << name;
    }
}

TEST_F(ResourcesTest, RegisteringAgainKeepsTheFirstRegistration) {
    const auto before = OpenEmbedded("incbin::data\\img\\ball.png");
    ASSERT_TRUE(before.has_value());
    RegisterResources();
    const auto after = OpenEmbedded("incbin::data\\img\\ball.png");
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->data, before->data);
    EXPECT_EQ(after->size, before->size);
    static const unsigned char other[1] = {0};
    EXPECT_EQ(RegisterEmbedded("data\\img\\ball.png", other, 1), 0);
    EXPECT_FALSE(OpenEmbedded("incbin::data/img/ball.png").has_value())
        << "names keep their backslashes";
}

TEST_F(ResourcesTest, SharedAssetsLoadWithCentredHandles) {
    SetAutoCenterHandle(true);
    LoadSharedAssets();
    struct Expect {
        const std::shared_ptr<TImage>& image;
        int w, h;
    };
    const Expect images[] = {{blueBallImage, 32, 32},    {ballImage, 32, 32},
                             {reflectBallImage, 32, 32}, {cubeImage, 32, 32},
                             {starImage, 32, 32},        {brightStarImage, 64, 64},
                             {linkImage, 16, 12},        {anchorImage, 14, 14}};
    for (const Expect& e : images) {
        ASSERT_NE(e.image, nullptr);
        EXPECT_EQ(e.image->width, e.w);
        EXPECT_EQ(e.image->height, e.h);
        EXPECT_EQ(e.image->FrameCount(), 1);
        EXPECT_EQ(e.image->flags, 3) << "default flags: masked and filtered";
        EXPECT_FLOAT_EQ(e.image->handle_x, static_cast<float>(e.w) / 2.0f);
        EXPECT_FLOAT_EQ(e.image->handle_y, static_cast<float>(e.h) / 2.0f);
    }
    ASSERT_NE(metalDropSound, nullptr);
    EXPECT_EQ(metalDropSound->flags, 0);
    ASSERT_NE(metalDropSound->samples, nullptr);
    // Converted to the mixer's 44100 Hz stereo: two values per sample of the file.
    EXPECT_EQ(metalDropSound->samples->size(), 2u * 26460u);
}

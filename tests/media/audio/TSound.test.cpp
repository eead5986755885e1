#include "media/MediaTestSupport.hpp"

#include "media/audio/TSound.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace mediatest;

namespace {
// A mono 16-bit PCM WAV file of `frames` samples at `rate` Hz.
std::vector<std::uint8_t> MakeWav(int rate, int frames) {
    std::vector<std::uint8_t> w;
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](std::uint16_t v) {
        w.push_back(static_cast<std::uint8_t>(v));
        w.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            w.push_back(static_cast<std::uint8_t>(t[i]));
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * 2;
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(static_cast<std::uint32_t>(rate));
    put32(static_cast<std::uint32_t>(rate) * 2);
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (int i = 0; i < frames; ++i)
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.1))));
    return w;
}

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 0); }
    void TearDown() override { CloseAudio(); }
};
} // namespace

TEST_F(SoundTest, LoadsAndConvertsAWav) {
    auto sound = LoadSound(RegisterBytes("test\\tone.wav", MakeWav(22050, 22050)), 0);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->flags, 0);
    // One second at 44100 Hz, two channels.
    EXPECT_NEAR(static_cast<double>(sound->samples->size()), 88200.0, 64.0);
}

TEST_F(SoundTest, PlaysOverlapOnTheirOwnChannels) {
    auto sound = LoadSound(RegisterBytes("test\\long.wav", MakeWav(44100, 44100 * 4)), 0);
    ASSERT_TRUE(sound);
    const int before = SoundPlayCount();
    auto a = sound->Play();
    auto b = sound->Play();
    EXPECT_EQ(SoundPlayCount(), before + 2);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(InitAudio()) << "the dummy audio driver opens";
    EXPECT_TRUE(a->Playing());
    EXPECT_TRUE(b->Playing());
    EXPECT_EQ(ActiveVoices(), 2);
    a->Stop();
    EXPECT_FALSE(a->Playing());
    EXPECT_TRUE(b->Playing());
}

TEST_F(SoundTest, MissingOrUndecodableSoundsGiveNull) {
    EXPECT_FALSE(LoadSound("incbin::test\\no_such.wav", 0));
    EXPECT_FALSE(LoadSound(RegisterBytes("test\\junk.wav", {'R', 'I', 'F', 'F', 0, 0}), 0));
}

TEST_F(SoundTest, WithoutOutputSoundsAreSilentAndSayItOnce) {
    auto sound = LoadSound(RegisterBytes("test\\silent.wav", MakeWav(8000, 800)), 0);
    ASSERT_TRUE(sound);
    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ::testing::internal::CaptureStderr();
    const bool opened = InitAudio();
    const int before = SoundPlayCount();
    auto channel = sound->Play();
    const std::string err = ::testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", saved.empty() ? "dummy" : saved.c_str(), 1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(SoundPlayCount(), before + 1);
    ASSERT_TRUE(channel);
    EXPECT_FALSE(channel->Playing());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

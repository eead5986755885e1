#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SceneLink.hpp"

namespace {

std::string decoded(const std::string& payload, std::string& error) {
    std::string text;
    EXPECT_TRUE(SceneLink::Decode(payload, text, error)) << error;
    return text;
}

} // namespace

TEST(SceneLinkTest, RoundTripsAnyBytesWithoutPadding) {
    std::string every;
    for (int c = 0; c < 256; ++c) {
        every += static_cast<char>(c);
    }
    const std::vector<std::string> texts = {
        "", "a", "ab", "abc", "abcd", every, std::string(200000, '{') + "\n \"x\": 1.5}\n"};
    for (const std::string& text : texts) {
        const std::string link = SceneLink::Encode(text);
        EXPECT_EQ(link.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos)
            << "only base64url, no '=': " << link;
        std::string error;
        EXPECT_EQ(decoded(link, error), text);
    }
    // Compressed: a repetitive scene's link is far shorter than the scene.
    EXPECT_LT(SceneLink::Encode(texts.back()).size(), 2000u);
}

TEST(SceneLinkTest, ReadsEveryBase64urlLengthAnotherEncoderMakes) {
    // Links another encoder made: Python's zlib.compress and urlsafe_b64encode, '=' dropped.
    std::string error;
    EXPECT_EQ(decoded("eJzLyAQAATsA0g", error), "hi");
    EXPECT_EQ(decoded("eJxLTEoGAAJNASc", error), "abc");
    EXPECT_EQ(decoded("eJwrSS0uAQAEXQHB", error), "test");
}

TEST(SceneLinkTest, RefusesAnUnpackingBombBeforeItIsWhole) {
    std::string text;
    std::string error;
    EXPECT_TRUE(SceneLink::Decode(SceneLink::Encode(std::string(SceneLink::kMaxTextBytes, 'a')),
                                  text, error))
        << error;
    EXPECT_EQ(text.size(), SceneLink::kMaxTextBytes);
    // One byte over, from a link of a few kilobytes.
    const std::string bomb = SceneLink::Encode(std::string(SceneLink::kMaxTextBytes + 1, 'a'));
    EXPECT_LT(bomb.size(), 40000u);
    EXPECT_FALSE(SceneLink::Decode(bomb, text, error));
    EXPECT_EQ(error, "the link unpacks to more than 16 MB");
    EXPECT_TRUE(text.empty());
}

TEST(SceneLinkTest, RefusesBadLinksWithOneLineNamingTheFault) {
    const std::string good = SceneLink::Encode("{\"format\": \"scene\"}\n");
    std::string flipped = good;
    flipped[good.size() / 2] = flipped[good.size() / 2] == 'A' ? 'B' : 'A';
    const struct {
        std::string payload;
        std::string error;
    } cases[] = {
        {good + "=", "the link has '=' at character " + std::to_string(good.size() + 1) +
                         ", which is not base64url"},
        {"ab+c", "the link has '+' at character 3, which is not base64url"},
        {"ab%20", "the link has '%' at character 3, which is not base64url"},
        {std::string("ab\n\xff", 4), "the link has \\x0A at character 3, which is not base64url"},
        {"abcde", "the link is cut short (its length 5 is not a base64url length)"},
        {"", "the link is damaged or cut short (it ends too soon)"},
        {good.substr(0, good.size() - 6), "the link is damaged or cut short (it ends too soon)"},
        {"SGVsbG8gd29ybGQ", "the link is damaged or cut short (incorrect header check)"},
        {flipped, ""}, // zlib names the damage; only that it is refused matters
        {good + SceneLink::Encode("x"), "the link has bytes after its end"},
    };
    for (const auto& c : cases) {
        std::string text = "left over";
        std::string error;
        EXPECT_FALSE(SceneLink::Decode(c.payload, text, error)) << c.payload;
        EXPECT_TRUE(text.empty()) << c.payload;
        if (!c.error.empty()) {
            EXPECT_EQ(error, c.error) << c.payload;
        } else {
            EXPECT_EQ(error.rfind("the link is damaged or cut short (", 0), 0u) << error;
        }
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(SceneLinkTest, SplitsAFragmentIntoKindAndPayload) {
    const struct {
        const char* fragment;
        bool ok;
        SceneLink::Kind kind;
        const char* payload;
    } cases[] = {
        {"#scene=abc", true, SceneLink::Kind::Scene, "abc"},
        {"scene=", true, SceneLink::Kind::Scene, ""},
        {"#replay=x-_", true, SceneLink::Kind::Replay, "x-_"},
        {"#level=abc", false, SceneLink::Kind::Scene, ""},
        {"#Scene=abc", false, SceneLink::Kind::Scene, ""},
        {"", false, SceneLink::Kind::Scene, ""},
    };
    for (const auto& c : cases) {
        SceneLink::Kind kind = SceneLink::Kind::Scene;
        std::string_view payload;
        std::string error;
        EXPECT_EQ(SceneLink::SplitFragment(c.fragment, kind, payload, error), c.ok) << c.fragment;
        if (c.ok) {
            EXPECT_EQ(kind, c.kind) << c.fragment;
            EXPECT_EQ(payload, c.payload) << c.fragment;
        } else {
            EXPECT_EQ(error, "the link's address ends in neither #scene= nor #replay=");
        }
    }
}

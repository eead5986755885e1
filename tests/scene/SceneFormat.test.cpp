#include "scene/SceneFormat.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>

#include "data/LevelData.hpp"
#include "scene/EchoedText.hpp"
#include "scene/SceneVersion1.hpp"

namespace {

using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;
using Body = SceneFormat::Body;

class SceneFormatTest : public ::testing::Test {
  protected:
    SceneFormatTest() { CreateLevelData(); }

    // Level 0's maps and one body of every kind, each end of a chain, a broken joint, and
    // numbers a careless writer would spoil (-0.0, a float's last digit, a large angle).
    static SceneFormat::Scene everything() {
        SceneFormat::Scene scene;
        scene.foregroundTiles = FGMapData;
        scene.foregroundEdges = FGBoundMap;
        scene.backgroundTiles = BGMapData;
        scene.scrollX = 120;
        scene.scrollY = 48;
        scene.selected = 8;
        scene.debugView = true;
        scene.paused = true;
        auto state = [](double x) { return CPExactState{x, 100.25, -0.0, 0.1f, -1e6, 123456.7f}; };
        auto add = [&](Kind kind, std::size_t parts) {
            Body body;
            body.kind = kind;
            body.state = state(static_cast<double>(scene.bodies.size()) * 40.0 + 0.5);
            for (std::size_t i = 0; i < parts; ++i) {
                body.parts.push_back(state(static_cast<double>(i) + 1.0 / 3.0));
            }
            scene.bodies.push_back(body);
            return &scene.bodies.back();
        };
        add(Kind::Ball, 0);
        add(Kind::Cube, 0);
        add(Kind::Star, 0)->state.angle = 9.99e8;
        add(Kind::Squid, 7);
        add(Kind::Player, 15);
        Body* fixedToFree = add(Kind::Chain, 19);
        fixedToFree->state = {};
        fixedToFree->start = {Anchor::Type::Fixed, {862.0, 150.0}, -1};
        fixedToFree->end = {Anchor::Type::Free, state(700.0), -1};
        fixedToFree->broken = {4, 18};
        fixedToFree->grace = 360;
        Body* toStar = add(Kind::Chain, 11);
        toStar->state = {};
        toStar->start = {Anchor::Type::Fixed, {10.0, 20.0}, -1};
        toStar->end = {Anchor::Type::Star, {}, 2};
        Body* starGone = add(Kind::Chain, 11);
        starGone->state = {};
        starGone->start = {Anchor::Type::Free, state(3.0), -1};
        starGone->end = {Anchor::Type::Free, state(4.0), -1};
        return scene;
    }

    static std::string read(const std::string& text, SceneFormat::Scene& scene) {
        std::string error;
        EXPECT_TRUE(SceneFormat::Read(text, scene, error)) << error;
        return error;
    }
};

void expectSameState(const CPExactState& a, const CPExactState& b, const std::string& where) {
    const double as[] = {a.x, a.y, a.angle, a.vx, a.vy, a.angularVelocity};
    const double bs[] = {b.x, b.y, b.angle, b.vx, b.vy, b.angularVelocity};
    for (int i = 0; i < 6; ++i) {
        // Files hold floats: what was a float comes back exactly, sign of zero included.
        EXPECT_EQ(static_cast<float>(as[i]), bs[i]) << where << "[" << i << "]";
        EXPECT_EQ(std::signbit(as[i]), std::signbit(bs[i])) << where << "[" << i << "]";
    }
}

// Written and read back, a scene is what it was (to a float), and writing again gives the
// same bytes.
TEST_F(SceneFormatTest, WriteThenReadGivesTheSameSceneAndBytes) {
    const SceneFormat::Scene scene = everything();
    const std::string text = SceneFormat::Write(scene);
    SceneFormat::Scene back;
    read(text, back);
    EXPECT_EQ(SceneFormat::Write(back), text);
    EXPECT_EQ(back.foregroundTiles, scene.foregroundTiles);
    EXPECT_EQ(back.foregroundEdges, scene.foregroundEdges);
    EXPECT_EQ(back.backgroundTiles, scene.backgroundTiles);
    EXPECT_EQ(back.scrollX, 120);
    EXPECT_EQ(back.scrollY, 48);
    EXPECT_EQ(back.selected, 8);
    EXPECT_TRUE(back.debugView);
    EXPECT_TRUE(back.paused);
    ASSERT_EQ(back.bodies.size(), scene.bodies.size());
    for (std::size_t i = 0; i < scene.bodies.size(); ++i) {
        const Body& a = scene.bodies[i];
        const Body& b = back.bodies[i];
        const std::string where = "bodies[" + std::to_string(i) + "]";
        EXPECT_EQ(a.kind, b.kind) << where;
        if (a.kind != Kind::Chain) {
            expectSameState(a.state, b.state, where);
        }
        ASSERT_EQ(a.parts.size(), b.parts.size()) << where;
        for (std::size_t p = 0; p < a.parts.size(); ++p) {
            expectSameState(a.parts[p], b.parts[p], where + ".parts[" + std::to_string(p) + "]");
        }
        EXPECT_EQ(a.start.type, b.start.type) << where;
        EXPECT_EQ(a.end.type, b.end.type) << where;
        EXPECT_EQ(a.end.star, b.end.star) << where;
        EXPECT_EQ(a.broken, b.broken) << where;
        EXPECT_EQ(a.grace, b.grace) << where;
    }
    EXPECT_EQ(back.bodies[5].start.state.x, 862.0);
    expectSameState(scene.bodies[5].end.state, back.bodies[5].end.state, "free end");
}

// Every version this program wrote keeps opening: a file of each version reads, keeps all it
// held, and what it does not hold takes the level's defaults (a version-1 file has no settings).
TEST_F(SceneFormatTest, EveryOlderVersionKeepsOpening) {
    SceneFormat::Scene withSettings = everything();
    withSettings.hasSettings = true;
    withSettings.settings = {0, 25, 12, true, 1, false};
    SceneFormat::Scene withTree = withSettings;
    withTree.settings.tree = true;
    const std::string version1(kVersion1Ramps);
    auto asNow = [](std::string text) { return text.replace(23, 1, "3"); };
    // Version 2 as it was written: the settings without a broad phase.
    const std::string version2 =
        std::regex_replace(std::string(SceneFormat::Write(withSettings)).replace(23, 1, "2"),
                           std::regex(", \"broad_phase\": \"hash\""), "");
    const struct {
        const char* what;
        std::string text;
        bool hasSettings;
        bool tree;
        std::string written; // the same scene written by this program
    } cases[] = {
        {"version 1: the ramps example as made then", version1, false, false, asNow(version1)},
        {"version 2: settings, on the hash", version2, true, false,
         SceneFormat::Write(withSettings)},
        {"version 3: the tree", SceneFormat::Write(withTree), true, true,
         SceneFormat::Write(withTree)},
    };
    ASSERT_EQ(version2.find("broad_phase"), std::string::npos);
    for (const auto& c : cases) {
        SceneFormat::Scene scene;
        read(c.text, scene);
        EXPECT_EQ(scene.hasSettings, c.hasSettings) << c.what;
        EXPECT_EQ(scene.settings.tree, c.tree) << c.what;
        EXPECT_EQ(SceneFormat::Write(scene), c.written) << c.what;
    }
    ASSERT_EQ(version1.rfind("{\"dazozi-redov-scene\": 1,", 0), 0u);
    SceneFormat::Scene scene;
    read(SceneFormat::Write(withSettings), scene);
    EXPECT_EQ(scene.settings.gravity, 0);
    EXPECT_EQ(scene.settings.iterations, 25);
    EXPECT_EQ(scene.settings.subSteps, 12);
    EXPECT_TRUE(scene.settings.sleeping);
    EXPECT_EQ(scene.settings.timeScaleEighths, 1);
    // Settings in a version-1 file, and values the panel cannot have, are refused.
    const std::string text = SceneFormat::Write(withSettings);
    const struct {
        std::string text;
        const char* error;
    } refused[] = {
        {std::string(text).replace(23, 1, "1"), "unknown field \"settings\" in a version-1 file"},
        {std::string(text).replace(23, 1, "2"),
         "settings: unknown field \"broad_phase\" in a version-2 file"},
        {std::regex_replace(text, std::regex("\"broad_phase\": \"hash\""),
                            "\"broad_phase\": \"grid\""),
         "settings.broad_phase: not \"hash\" or \"tree\""},
        {std::regex_replace(text, std::regex("\"broad_phase\": \"hash\""), "\"broad_phase\": true"),
         "settings.broad_phase: not \"hash\" or \"tree\""},
        {std::regex_replace(text, std::regex("\"time_scale_eighths\": 1"),
                            "\"time_scale_eighths\": 3"),
         "settings.time_scale_eighths: 3 is not 1, 2, 4, 8, 16 or 32"},
        {std::regex_replace(text, std::regex("\"gravity\": 0"), "\"gravity\": 3100"),
         "settings.gravity: 3100 is outside 0..3000"},
        {std::regex_replace(text, std::regex("\"sub_steps\": 12"), "\"sub_steps\": 0"),
         "settings.sub_steps: 0 is outside 1..12"},
    };
    for (const auto& r : refused) {
        std::string error;
        EXPECT_FALSE(SceneFormat::Read(r.text, scene, error)) << r.error;
        EXPECT_NE(error.find(r.error), std::string::npos) << error;
    }
}

// A fault in a file is one line naming what and where, with what the file holds shown safely:
// control bytes escaped, long values cut, numbers as they differ from the limit, limits checked
// while reading (the first excess stops it).
TEST_F(SceneFormatTest, RefusalsAreOneSafeLineNamingWhatAndWhere) {
    const std::string good = SceneFormat::Write(everything());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string firstState = "\"state\": [0.5, ";
    const std::string longName(15'000'000, 'k');
    std::string strings = "{\"dazozi-redov-scene\": 1, \"bodies\": [";
    while (strings.size() < 15'000'000) {
        strings += "[\"aaaa\", \"aaaa\", \"aaaa\", \"aaaa\", \"aaaa\", \"aaaa\", \"aaaa\"],\n";
    }
    // Strings in arrays each under the entry limit: the count of strings stops it.
    std::string spread = "{\"dazozi-redov-scene\": 1, \"bodies\": [";
    for (int i = 0; i < 3; ++i) {
        spread += std::string(i == 0 ? "[" : ", [") + "\"aaaa\"";
        for (int j = 1; j < 9000; ++j) {
            spread += ", \"aaaa\"";
        }
        spread += "]";
    }
    spread += "]}";
    std::string numbers = "{\"dazozi-redov-scene\": 1, \"bodies\": [0";
    for (int i = 0; i < 1'000'000; ++i) {
        numbers += ", 0";
    }
    numbers += "]}";
    std::string deep = "{\"dazozi-redov-scene\": 1, \"bodies\": ";
    deep += std::string(100, '[') + std::string(100, ']') + "}";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"escape sequence in a kind",
         replaced("\"kind\": \"cube\"", "\"kind\": \"\\u001b[2Jx\\n\""),
         "bodies[1].kind: unknown kind \"\\x1b[2Jx\\x0a\""},
        {"delete in a field name", replaced("\"paused\"", "\"pa\\u007fused\""),
         "scene: unknown field \"pa\\x7fused\""},
        {"just over a limit", replaced(firstState, "\"state\": [1000000.1, "),
         "bodies[0].state[0]: x 1000000.1 is beyond 1000000"},
        {"far over a limit", replaced(firstState, "\"state\": [1e30, "),
         "bodies[0].state[0]: x 1e+30 is beyond 1000000"},
        {"a number no double holds", replaced(firstState, "\"state\": [1e400, "),
         "bodies[0].state[0]: the number 1e400 is too large to read"},
        {"bodies twice", replaced("\"bodies\": [", "\"bodies\": [], \"bodies\": ["),
         "scene: field \"bodies\" given twice"},
        {"a field twice in a body",
         replaced("\"kind\": \"cube\"", "\"kind\": \"cube\", \"kind\": \"ball\""),
         "bodies[1]: field \"kind\" given twice"},
        {"a huge field name", replaced("\"paused\"", "\"" + longName + "\""),
         "scene: a field name of 15000000 characters (at most 64)"},
        {"a huge unknown kind",
         replaced("\"kind\": \"cube\"", "\"kind\": \"" + std::string(70, 'w') + "\""),
         "bodies[1].kind: a text of 70 characters (at most 64)"},
        {"15 MB of strings", strings, "bodies[1430][6]: more than 10016 texts in the file"},
        {"a long array", numbers, "bodies: has more than 10000 entries"},
        {"strings spread over arrays", spread,
         "bodies[1][1016]: more than 10016 texts in the file"},
        {"nested deep", deep, "bodies[0][0][0][0][0][0][0]: nested more than 8 deep"},
        {"cut in a string", good.substr(0, good.find("\"kind\": \"cube") + 12),
         "malformed JSON at line"},
    };
    for (const auto& c : cases) {
        SceneFormat::Scene scene;
        std::string error;
        EXPECT_FALSE(SceneFormat::Read(c.text, scene, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        EXPECT_LE(error.size(), 200u) << c.what;
        const bool raw = std::any_of(error.begin(), error.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f;
        });
        EXPECT_FALSE(raw) << c.what << ": " << error;
    }
}

// Echoed values: control bytes escaped, at most 60 characters of the value, then "...".
TEST(EchoedTextTest, EscapesControlBytesAndCutsLongValues) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"ball", "ball"},
        {std::string("a\x1b[2J\n\x7f\x00z", 9), "a\\x1b[2J\\x0a\\x7f\\x00z"},
        {std::string(60, 'x'), std::string(60, 'x')},
        {std::string(61, 'x'), std::string(60, 'x') + "..."},
        {std::string(59, 'x') + "\n\n", std::string(59, 'x') + "\\x0a..."},
        {"caf\xc3\xa9", "caf\xc3\xa9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EchoedText::Shown(c.text), c.shown) << c.text;
    }
    EXPECT_EQ(EchoedText::Escaped(std::string(100, '\t')).size(), 400u);
}

} // namespace

#include "scene/SceneFormat.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

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
        // Drawn bodies: an L in two pieces, fixed, and a circle.
        Body* l = add(Kind::Drawn, 0);
        l->material = 1;
        l->fixed = true;
        l->pieces = {{Vec2(-20, -10), Vec2(-20, 10), Vec2(40, 10), Vec2(40, -10)},
                     {Vec2(-20, 10), Vec2(-20, 50), Vec2(0, 50), Vec2(0, 10)}};
        Body* wheel = add(Kind::Drawn, 0);
        wheel->material = 2;
        wheel->radius = 12.5;
        return scene;
    }

    static std::string read(const std::string& text, SceneFormat::Scene& scene) {
        std::string error;
        EXPECT_TRUE(SceneFormat::Read(text, scene, error)) << error;
        return error;
    }
};

// text with its version digit (the 24th byte) set to digit.
std::string asVersion(std::string text, char digit) {
    text[23] = digit;
    return text;
}

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
        EXPECT_EQ(a.material, b.material) << where;
        EXPECT_EQ(a.fixed, b.fixed) << where;
        EXPECT_EQ(a.pieces, b.pieces) << where;
        EXPECT_EQ(a.radius, b.radius) << where;
    }
    EXPECT_EQ(back.bodies[8].pieces.size(), 2u);
    EXPECT_TRUE(back.bodies[8].fixed);
    EXPECT_EQ(back.bodies[9].radius, 12.5);
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
    auto asNow = [](std::string text) {
        return text.replace(23, 1, std::to_string(SceneFormat::kVersion));
    };
    // The same scene as version 2 wrote it: no drawn bodies yet, settings without a broad phase.
    SceneFormat::Scene version2Scene = withSettings;
    version2Scene.bodies.resize(8);
    const std::string version2 =
        std::regex_replace(asVersion(SceneFormat::Write(version2Scene), '2'),
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
         SceneFormat::Write(version2Scene)},
        {"version 3: drawn bodies", SceneFormat::Write(withSettings), true, false,
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

// The camera: kept whole when there is one, absent from older files (which open at zoom 1,
// following), and hostile values refused like any other field's.
TEST_F(SceneFormatTest, TheCameraIsKeptAndHostileValuesAreRefused) {
    SceneFormat::Scene looked = everything();
    looked.hasCamera = true;
    looked.camera = {-7, -120, 35, false};
    const std::string text = SceneFormat::Write(looked);
    SceneFormat::Scene scene;
    read(text, scene);
    ASSERT_TRUE(scene.hasCamera);
    EXPECT_EQ(scene.camera.zoomStep, -7);
    EXPECT_EQ(scene.camera.x, -120);
    EXPECT_EQ(scene.camera.y, 35);
    EXPECT_FALSE(scene.camera.following);
    EXPECT_EQ(SceneFormat::Write(scene), text);
    read(SceneFormat::Write(everything()), scene);
    EXPECT_FALSE(scene.hasCamera);

    auto replaced = [&](const char* from, const char* to) {
        return std::regex_replace(text, std::regex(from), to);
    };
    const struct {
        std::string text;
        const char* error;
    } refused[] = {
        {std::string(text).replace(23, 1, "2"), "unknown field \"camera\" in a version-2 file"},
        {replaced("\"zoom_step\": -7", "\"zoom_step\": 9"), "camera.zoom_step: 9 is outside -8..8"},
        {replaced("\"zoom_step\": -7", "\"zoom_step\": 0.5"), "camera.zoom_step"},
        {replaced("\"x\": -120", "\"x\": -1000001"), "camera.x"},
        {replaced("\"y\": 35", "\"y\": 1e300"), "camera.y"},
        {replaced("\"following\": false", "\"following\": 0"), "camera.following"},
        {replaced(", \"following\": false", ""), "camera"},
        {replaced("\"following\": false", "\"following\": false, \"spin\": 1"), "camera"},
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
        {"15 MB of strings", strings, "bodies[2859][3]: more than 20016 texts in the file"},
        {"a long array", numbers, "bodies: has more than 10000 entries"},
        {"strings spread over arrays", spread,
         "bodies[2][2016]: more than 20016 texts in the file"},
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

// A drawn body is refused, with what and where, when its shape could not be one the game makes:
// wrong material, a piece not convex, too thin, too many corners or pieces, out of reach.
TEST_F(SceneFormatTest, DrawnBodiesOutOfShapeAreRefused) {
    auto with = [](auto change) {
        SceneFormat::Scene scene;
        scene.foregroundTiles = FGMapData;
        scene.foregroundEdges = FGBoundMap;
        scene.backgroundTiles = BGMapData;
        Body body;
        body.kind = Kind::Drawn;
        body.state = {300.0, 200.0, 0.5, 0.0, 0.0, 0.0};
        body.pieces = {{Vec2(-20, -10), Vec2(-20, 10), Vec2(40, 10), Vec2(40, -10)}};
        scene.bodies.push_back(body);
        change(scene.bodies.back(), scene);
        return SceneFormat::Write(scene);
    };
    std::vector<CPVect> many;
    for (int i = 0; i < 33; ++i) {
        many.push_back(Vec2(static_cast<float>(100 * std::cos(i * 0.19)),
                            static_cast<float>(100 * std::sin(i * 0.19))));
    }
    const std::string good = with([](Body&, SceneFormat::Scene&) {});
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"unknown material", with([](Body& b, auto&) { b.material = 5; }),
         "bodies[0].material: 5 is outside 0..4"},
        {"pieces and a radius", replaced("\"pieces\"", "\"radius\": 4.0, \"pieces\""),
         "bodies[0]: needs exactly one of \"pieces\" or \"radius\""},
        {"no shape", replaced(", \"pieces\"", ", \"spare\""), "bodies[0]: unknown field \"spare\""},
        {"neither", std::regex_replace(good, std::regex(", \"pieces\": \\[\n[^\n]*\\]\\]"), ""),
         "bodies[0]: needs exactly one of"},
        {"a concave piece", with([](Body& b, auto&) {
             b.pieces[0] = {Vec2(0, 0), Vec2(40, 0), Vec2(20, 10), Vec2(20, 40)};
         }),
         "bodies[0].pieces[0]: not convex"},
        {"a crossing piece", with([](Body& b, auto&) {
             b.pieces[0] = {Vec2(0, 0), Vec2(40, 40), Vec2(40, 0), Vec2(0, 40)};
         }),
         "bodies[0].pieces[0]: not convex"},
        {"two corners at one spot", with([](Body& b, auto&) {
             b.pieces[0] = {Vec2(0, 0), Vec2(0, 0), Vec2(40, 0), Vec2(0, 40)};
         }),
         "bodies[0].pieces[0]: not convex"},
        {"a thin piece", with([](Body& b, auto&) {
             b.pieces[0] = {Vec2(0, 0), Vec2(100, 0), Vec2(100, 3), Vec2(0, 3)};
         }),
         "bodies[0].pieces[0]: thinner than 4 px"},
        {"33 corners", with([&](Body& b, auto&) { b.pieces[0] = many; }),
         "bodies[0].pieces[0]: has 66 entries, not 6 to 64"},
        {"two corners", with([](Body& b, auto&) {
             b.pieces[0] = {Vec2(0, 0), Vec2(40, 0)};
         }),
         "bodies[0].pieces[0]: has 4 entries, not 6 to 64"},
        {"an odd count", replaced("[-2e+01, -1e+01, ", "[-2e+01, -1e+01, 7.0, "),
         "bodies[0].pieces[0]: has 9 numbers: not x and y pairs"},
        {"31 pieces", with([](Body& b, auto&) { b.pieces.resize(31, b.pieces[0]); }),
         "bodies[0].pieces: has 31 entries, not 1 to 30"},
        {"no pieces, no radius", with([](Body& b, auto&) { b.pieces.clear(); }),
         "bodies[0].radius: radius 0 is thinner than 4 px"},
        {"far out", replaced("[-2e+01, -1e+01, ", "[-9000.0, -1e+01, "),
         "bodies[0].pieces[0][0]: x -9000 is beyond 8192"},
        {"a speck of a circle", with([](Body& b, auto&) {
             b.pieces.clear();
             b.radius = 1.5;
         }),
         "bodies[0].radius: radius 1.5 is thinner than 4 px"},
        {"a huge circle", with([](Body& b, auto&) {
             b.pieces.clear();
             b.radius = 5000;
         }),
         "bodies[0].radius: radius 5000 is beyond 4096"},
        {"drawn in a version-2 file", asVersion(good, '2'),
         "bodies[0]: a drawn body in a version-2 file"},
        {"drawn before a chain", with([](Body&, SceneFormat::Scene& scene) {
             Body chain;
             chain.kind = Kind::Chain;
             chain.start = {Anchor::Type::Fixed, {10.0, 20.0}, -1};
             chain.end = {Anchor::Type::Fixed, {50.0, 20.0}, -1};
             chain.parts.resize(19);
             scene.bodies.push_back(chain);
         }),
         "bodies[1]: a chain listed after a drawn"},
    };
    SceneFormat::Scene scene;
    std::string error;
    EXPECT_TRUE(SceneFormat::Read(good, scene, error)) << error;
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(SceneFormat::Read(c.text, scene, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

using Joint = SceneFormat::Joint;
using JointKind = SceneFormat::JointKind;

// everything() with a joint of every kind, between bodies, parts and the level.
SceneFormat::Scene withJoints(SceneFormat::Scene scene) {
    auto joint = [&](JointKind kind, SceneFormat::JointEnd a, SceneFormat::JointEnd b) {
        Joint j;
        j.kind = kind;
        j.a = a;
        j.b = b;
        scene.joints.push_back(j);
        return &scene.joints.back();
    };
    joint(JointKind::Hinge, {0, -1, 0.0, -0.0}, {1, -1, 12.5, 1.0 / 3.0});
    Joint* motor = joint(JointKind::Motor, {2, -1, 0.0, 0.0}, {-1, -1, 512.0, 300.25});
    motor->rate = -180.0;
    motor->torque = 10000.0;
    motor->on = true;
    motor->breakForce = 5000.0;
    Joint* spring = joint(JointKind::Spring, {3, 6, -7.0, 0.0}, {4, -1, 1.0, 2.0});
    spring->length = 123.25;
    spring->stiffness = 40.0;
    spring->damping = 0.0;
    Joint* rope = joint(JointKind::Rope, {5, 18, -7.0, 0.0}, {6, 0, 0.0, 0.0});
    rope->length = 4096.0;
    Joint* weld = joint(JointKind::Weld, {4, 14, 0.0, 0.0}, {4, -1, 0.0, 0.0});
    weld->angle = -30.5;
    // A chain's own anchors are the parts after its links: the first chain's fixed start (after
    // its 19 links) and free end, the third's free start.
    joint(JointKind::Rope, {5, 19, 0.0, 0.0}, {0, -1, 0.0, 0.0})->length = 50.0;
    joint(JointKind::Hinge, {5, 20, 1.0, 0.0}, {7, 11, 0.0, 2.0});
    return scene;
}

TEST_F(SceneFormatTest, JointsGoRoundTripAfterTheBodies) {
    const SceneFormat::Scene scene = withJoints(everything());
    const std::string text = SceneFormat::Write(scene);
    // A line a joint, each after the bodies.
    EXPECT_NE(text.find("\n \"joints\": [\n  {\"kind\": \"hinge\", \"a\": {\"body\": 0, "
                        "\"anchor\": [0.0, -0.0]}, \"b\": {\"body\": 1, \"anchor\": [12.5, "
                        "0.33333334]}, \"break_force\": 0.0},\n"),
              std::string::npos)
        << text.substr(text.find("\"joints\""));
    EXPECT_NE(text.find("{\"kind\": \"motor\", \"a\": {\"body\": 2, \"anchor\": [0.0, 0.0]}, "
                        "\"b\": {\"level\": [512.0, 300.25]}, \"rate\": -1.8e+02, \"torque\": "
                        "1e+04, \"on\": true, \"break_force\": 5e+03}"),
              std::string::npos);
    SceneFormat::Scene back;
    read(text, back);
    EXPECT_EQ(SceneFormat::Write(back), text);
    ASSERT_EQ(back.joints.size(), scene.joints.size());
    for (std::size_t i = 0; i < scene.joints.size(); ++i) {
        Joint expected = scene.joints[i];
        expected.b.y = static_cast<float>(expected.b.y); // files hold floats
        EXPECT_EQ(back.joints[i], expected) << i;
    }
    // A scene without joints has no such field: older programs read it as ever.
    EXPECT_EQ(SceneFormat::Write(everything()).find("joints"), std::string::npos);
}

TEST_F(SceneFormatTest, HostileJointsAreRefusedNamingWhatAndWhere) {
    const std::string good = SceneFormat::Write(withJoints(everything()));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string hinge = "{\"kind\": \"hinge\", \"a\": {\"body\": 0, \"anchor\": [0.0, -0.0]}";
    std::string many = good.substr(0, good.find("\"joints\": [") + 11);
    for (int i = 0; i <= SceneFormat::kMaxJoints; ++i) {
        many += i == 0 ? "" : ", ";
        many += "{\"kind\": \"hinge\", \"a\": {\"body\": 0, \"anchor\": [0.0, 0.0]}, "
                "\"b\": {\"level\": [1.0, 1.0]}, \"break_force\": 0.0}";
    }
    many += "]}";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"an unknown body",
         replaced(hinge, "{\"kind\": \"hinge\", \"a\": {\"body\": 10, "
                         "\"anchor\": [0.0, 0.0]}"),
         "joints[0].a.body: no body 10 (the scene has 10)"},
        {"a negative body",
         replaced(hinge, "{\"kind\": \"hinge\", \"a\": {\"body\": -1, "
                         "\"anchor\": [0.0, 0.0]}"),
         "joints[0].a.body: -1 is outside"},
        {"a part of a ball",
         replaced(hinge, "{\"kind\": \"hinge\", \"a\": {\"body\": 0, "
                         "\"part\": 0, \"anchor\": [0.0, 0.0]}"),
         "joints[0].a.part: a ball has no parts"},
        {"a part beyond the tentacle",
         replaced("{\"body\": 3, \"part\": 6", "{\"body\": 3, \"part\": 7"),
         "joints[2].a.part: 7 is outside 0..6"},
        {"a chain without its link", replaced("{\"body\": 6, \"part\": 0, ", "{\"body\": 6, "),
         "joints[3].b: a chain is joined by one of its links"},
        {"a chain's end tied to a star",
         replaced(hinge, "{\"kind\": \"hinge\", \"a\": {\"body\": 6, "
                         "\"part\": 12, \"anchor\": [0.0, 0.0]}"),
         "joints[0].a.part: the chain's end is not an anchor of its own"},
        {"a part beyond a chain's anchors",
         replaced(hinge, "{\"kind\": \"hinge\", \"a\": {\"body\": 6, "
                         "\"part\": 13, \"anchor\": [0.0, 0.0]}"),
         "joints[0].a.part: 13 is outside 0..12"},
        {"NaN in an anchor", replaced("[12.5, 0.33333334]", "[NaN, 0.0]"), "malformed JSON"},
        {"an anchor far off its body", replaced("[12.5, 0.33333334]", "[5000.0, 0.0]"),
         "joints[0].b.anchor[0]: x 5000 is beyond 4096"},
        {"an absurd length", replaced("\"length\": 4096.0", "\"length\": 1e9"),
         "joints[3].length: length 1000000000 is beyond 4096"},
        {"a negative length", replaced("\"length\": 4096.0", "\"length\": -1.0"),
         "joints[3].length: length -1 is below 0"},
        {"an absurd force", replaced("\"break_force\": 5e+03", "\"break_force\": 1e300"),
         "joints[1].break_force: force 1e+300 is beyond 10000000"},
        {"a negative torque", replaced("\"torque\": 1e+04", "\"torque\": -5.0"),
         "joints[1].torque: torque -5 is below 0"},
        {"a runaway motor", replaced("\"rate\": -1.8e+02", "\"rate\": -1e5"),
         "joints[1].rate: rate -100000 is beyond 3600"},
        {"a joint to itself",
         replaced("{\"body\": 1, \"anchor\": [12.5", "{\"body\": 0, \"anchor\": [12.5"),
         "joints[0]: joins a body to itself"},
        {"the level to itself",
         replaced("\"a\": {\"body\": 2, \"anchor\": [0.0, 0.0]}", "\"a\": {\"level\": [0.0, 0.0]}"),
         "joints[1]: joins the level to itself"},
        {"an unknown kind", replaced("\"kind\": \"weld\"", "\"kind\": \"glue\""),
         "joints[4].kind: unknown joint \"glue\""},
        {"another kind's field", replaced("\"kind\": \"weld\"", "\"kind\": \"hinge\""),
         "joints[4]: a hinge has no \"angle\""},
        {"a missing field", replaced(", \"stiffness\": 4e+01", ""),
         "joints[2]: missing field \"stiffness\""},
        {"a level end with a body",
         replaced("{\"level\": [512.0, 300.25]}", "{\"level\": [512.0, 300.25], \"body\": 1}"),
         "joints[1].b: the level takes no"},
        {"joints in a version-2 file",
         [] {
             SceneFormat::Scene scene = withJoints(everything());
             scene.bodies.resize(8); // no drawn bodies, which version 2 refuses first
             return asVersion(SceneFormat::Write(scene), '2');
         }(),
         "scene: unknown field \"joints\" in a version-2 file"},
        {"too many", many, "joints: has more than 10000 entries"},
    };
    for (const auto& c : cases) {
        SceneFormat::Scene scene;
        std::string error;
        EXPECT_FALSE(SceneFormat::Read(c.text, scene, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
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

#include "app/SceneDocument.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/Game.hpp"
#include "app/SceneLink.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TMachineJoint.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "data/ExampleScenes.hpp"
#include "data/LevelData.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpace.hpp"
#include "scene/SceneFormat.hpp"
#include "scene/SceneVersion1.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

class SceneDocumentTest : public GameFixture {
  protected:
    SceneDocumentTest() : GameFixture(0) {}

    static void frames(int n) {
        for (int i = 0; i < n; ++i) {
            updateGame();
        }
    }

    // A bit of everything along the level's open top rows: every kind, a chain tied to a star.
    static void spawnEverything() {
        for (int kind = 1; kind <= 8; ++kind) {
            control->spawnAt(kind, Vec2(200.0f + 200.0f * static_cast<float>(kind), 120.0f));
        }
        control->spawnAt(1, Vec2(300.0f, 60.0f));
        control->spawnAt(2, Vec2(340.0f, 60.0f));
    }

    // Every simulated body's position, in the classes' order.
    static std::vector<CPVect> positions() {
        std::vector<CPVect> all;
        auto add = [&](const std::shared_ptr<CPBody>& b) {
            if (b && !b->IsFreed()) {
                all.push_back(b->GetPosition());
            }
        };
        auto each = [&](auto* list, auto visit) {
            if (list != nullptr) {
                for (auto& o : *list) {
                    if (o && o->_life != 0) {
                        visit(*o);
                    }
                }
            }
        };
        auto bodies = [&](TList<std::shared_ptr<CPBody>>& list) {
            for (auto& body : list) {
                add(body);
            }
        };
        each(TBall::liveList.get(), [&](TBall& o) { add(o._body); });
        each(TCube::liveList.get(), [&](TCube& o) { add(o._body); });
        each(TStar::liveList.get(), [&](TStar& o) { add(o._body); });
        each(TSquid::liveList.get(), [&](TSquid& o) {
            add(o._body);
            bodies(o._tentacle->_bodyRect);
        });
        each(TChain::liveList.get(), [&](TChain& o) { bodies(o._body); });
        return all;
    }

    static std::vector<CPVect> drawnPositions() {
        std::vector<CPVect> all;
        for (const auto& drawn : *TDrawn::liveList) {
            all.push_back(drawn->_body->GetPosition());
        }
        return all;
    }

    static float largestMove(const std::vector<CPVect>& a, const std::vector<CPVect>& b) {
        EXPECT_EQ(a.size(), b.size());
        float most = 0.0f;
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            most = std::max(most, a[i].Sub(b[i]).Length());
        }
        return most;
    }
};

// Everything the file holds comes back, and saving again gives the same bytes: bodies in motion,
// edited cells, a broken chain, a chain whose star has gone, the pause, the view and the kind.
TEST_F(SceneDocumentTest, SaveOpenSaveIsByteIdenticalAndKeepsEverything) {
    spawnEverything();
    frames(40);
    level->_FGLayer->SetCell(3, 2, FGMapData[20][0], FGBoundMap[20][0]);
    level->_FGLayer->SetCell(4, 2, 0, 0);
    // A chain torn between its fourth and fifth link.
    {
        // The walk ends here: it must not outlive the chain, which the reset below removes.
        TChain& chain = *TChain::liveList->First();
        const std::shared_ptr<CPSlideJoint> torn = *std::next(chain._joint.begin(), 4);
        chain._joint.Remove(torn);
        torn->Free();
    }
    // The star the kind-8 chain holds leaves the level.
    TStar::liveList->Last()->_life = 0;
    frames(1);
    control->currentObject = 6;
    control->debugMode = 1;
    sandbox->paused = true;

    const std::string saved = CurrentSceneText();
    ASSERT_EQ(saved.rfind("{\"dazozi-redov-scene\": 3,", 0), 0u) << saved.substr(0, 40);
    const int shapes = level->_FGLayer->spaceMap->CountActiveShapes();
    const int joints = level->_FGLayer->spaceMap->CountJoints();
    const std::vector<CPVect> before = positions();

    resetGame();
    control->currentObject = 1;
    control->debugMode = -1;
    sandbox->paused = false;
    level->_FGLayer->SetCell(3, 2, 0, 0);
    std::string error;
    ASSERT_TRUE(OpenSceneText(saved, error)) << error;
    EXPECT_EQ(CurrentSceneText(), saved);
    EXPECT_EQ(level->_FGLayer->spaceMap->CountActiveShapes(), shapes);
    EXPECT_EQ(level->_FGLayer->spaceMap->CountJoints(), joints);
    EXPECT_EQ(largestMove(before, positions()), 0.0f);
    EXPECT_EQ(control->currentObject, 6);
    EXPECT_EQ(control->debugMode, 1);
    EXPECT_TRUE(sandbox->paused);
    EXPECT_FALSE(playerLost());
    EXPECT_EQ(player.get(), control->player.get());
    // And after frames of its own, it still is what it was saved as.
    sandbox->paused = false;
    frames(30);
    const std::string later = CurrentSceneText();
    ASSERT_TRUE(OpenSceneText(later, error)) << error;
    EXPECT_EQ(CurrentSceneText(), later);
    // Ctrl+Z's way back: the scene the opening replaced.
    ASSERT_TRUE(RestorePreviousScene());
    EXPECT_EQ(CurrentSceneText(), later);
}

// Drawn bodies go into the file whole (material, fixed or free, pieces or radius, exact state)
// and come back as they were: save, open, save gives the same bytes, and they keep moving alike.
TEST_F(SceneDocumentTest, DrawnBodiesSaveAndOpenAsTheyWere) {
    const std::shared_ptr<TLayer>& fg = level->_FGLayer;
    OutlineFault fault = OutlineFault::None;
    const std::vector<CPVect> l{Vec2(300, 60), Vec2(360, 60),  Vec2(360, 80),
                                Vec2(320, 80), Vec2(320, 120), Vec2(300, 120)};
    TDrawn* free = TDrawn::CreatePolygon(fg, l, Material::Wood, false, fault);
    ASSERT_NE(free, nullptr);
    TDrawn* shelf = TDrawn::CreatePolygon(
        fg, std::vector<CPVect>{Vec2(500, 100), Vec2(600, 100), Vec2(600, 116), Vec2(500, 116)},
        Material::Metal, true, fault);
    ASSERT_NE(shelf, nullptr);
    shelf->moveTo(Vec2(550, 110), 12.0f);
    ASSERT_NE(TDrawn::CreateCircle(fg, Vec2(540, 40), 14.0f, Material::Rubber, false, fault),
              nullptr);
    ASSERT_NE(TDrawn::CreateCircle(fg, Vec2(700, 80), 9.0f, Material::Ice, true, fault), nullptr);
    frames(20);
    const std::string saved = CurrentSceneText();
    ASSERT_NE(saved.find("\"kind\": \"drawn\", \"material\": 1, \"fixed\": true"),
              std::string::npos);
    const std::vector<CPVect> before = drawnPositions();

    resetGame();
    EXPECT_EQ(TDrawn::Count(), 0);
    std::string error;
    ASSERT_TRUE(OpenSceneText(saved, error)) << error;
    EXPECT_EQ(CurrentSceneText(), saved);
    ASSERT_EQ(TDrawn::Count(), 4);
    EXPECT_EQ(drawnPositions(), before);
    const TDrawn& shelfBack = **std::next(TDrawn::liveList->begin(), 1);
    EXPECT_TRUE(shelfBack.fixed());
    EXPECT_EQ(shelfBack.material(), Material::Metal);
    EXPECT_NEAR(shelfBack._body->GetAngle(), 12.0f, 1e-4f);
    // The fixed shelf stays put; the others fall on as saved.
    frames(30);
    EXPECT_EQ(shelfBack._body->GetPosition(), before[1]);
    EXPECT_GT(TDrawn::liveList->First()->_body->GetPosition().y, before[0].y);
}

// Machine joints between every sort of body (a chain's own anchor too) and the level come back
// with the scene, joined to the same bodies at the same anchors, and saving again gives the same
// bytes.
TEST_F(SceneDocumentTest, JointsComeBackBetweenTheSameBodies) {
    spawnEverything();
    frames(10);
    const std::shared_ptr<TLayer>& fg = level->_FGLayer;
    auto place = [&](JointKind kind, CPVect p, CPVect q = ZeroVect) {
        TMachineJoint::Params k;
        k.kind = kind;
        k.breakForce = TMachineJoint::kBreakForces[2];
        auto joint = TMachineJoint::Place(fg, p, q, k);
        EXPECT_NE(joint, nullptr) << static_cast<int>(kind);
        return joint;
    };
    TChain& chain = **std::next(TChain::liveList->begin(), 1);
    const CPVect link = (*std::next(chain._shape.begin(), 8))->GetTransformedCenter();
    TSquid& squid = *TSquid::liveList->Last();
    const CPVect segment = squid._tentacle->_bodyRect.Last()->GetPosition();
    const CPVect star = TStar::liveList->First()->_body->GetPosition();
    place(JointKind::Hinge, TBall::liveList->First()->_body->GetPosition());
    place(JointKind::Motor, TCube::liveList->First()->_body->GetPosition());
    place(JointKind::Spring, segment, link);
    place(JointKind::Rope, star, Vec2(star.x, -40.0f)); // to the air above the level
    place(JointKind::Weld, TBall::liveList->Last()->_body->GetPosition());
    // A rope to the second chain's own fixed start anchor.
    TMachineJoint::Params rope;
    rope.kind = JointKind::Rope;
    TMachineJoint::Create()->Init(fg, TBall::liveList->First()->_body,
                                  chain._startJoint->GetBodyB(), ZeroVect, ZeroVect, rope);
    frames(5);
    ASSERT_EQ(TMachineJoint::Count(), 6);
    const std::string saved = CurrentSceneText();
    ASSERT_NE(saved.find("\n \"joints\": [\n  {\"kind\": \"hinge\""), std::string::npos);
    const int joints = fg->spaceMap->CountJoints();

    resetGame();
    EXPECT_EQ(TMachineJoint::Count(), 0);
    std::string error;
    ASSERT_TRUE(OpenSceneText(saved, error)) << error;
    EXPECT_EQ(CurrentSceneText(), saved);
    EXPECT_EQ(TMachineJoint::Count(), 6);
    EXPECT_EQ(fg->spaceMap->CountJoints(), joints);
    // The rope holds the reopened chain's start anchor again.
    EXPECT_EQ(TMachineJoint::liveList->Last()->_bodyB,
              (*std::next(TChain::liveList->begin(), 1))->_startJoint->GetBodyB());
    // The spring holds the squid's last segment and a link of the second chain again.
    const TMachineJoint& spring = **std::next(TMachineJoint::liveList->begin(), 2);
    EXPECT_EQ(spring._bodyA, TSquid::liveList->Last()->_tentacle->_bodyRect.Last());
    EXPECT_EQ(spring._bodyB,
              *std::next((*std::next(TChain::liveList->begin(), 1))->_body.begin(), 6));
    EXPECT_EQ(spring._params.breakForce, TMachineJoint::kBreakForces[2]);
    frames(30);
    const std::string later = CurrentSceneText();
    ASSERT_TRUE(OpenSceneText(later, error)) << error;
    EXPECT_EQ(CurrentSceneText(), later);
}

// A scene saved while bodies rest opens with them resting: those that stay within a tenth of a
// pixel for a second in the saved run (not those creeping along) move less than a pixel in the
// first second after opening.
TEST_F(SceneDocumentTest, BodiesSavedAtRestOpenAtRest) {
    for (int i = 0; i < 12; ++i) {
        control->spawnAt(1 + i % 3, Vec2(80.0f + 36.0f * static_cast<float>(i), 200.0f));
    }
    spawnEverything();
    frames(600);
    const std::vector<CPVect> atSave = positions();
    const std::string saved = CurrentSceneText();
    frames(60);
    const std::vector<CPVect> straight = positions();
    std::string error;
    ASSERT_TRUE(OpenSceneText(saved, error)) << error;
    frames(60);
    const std::vector<CPVect> opened = positions();
    ASSERT_EQ(opened.size(), atSave.size());
    int resting = 0;
    float most = 0.0f;
    for (std::size_t i = 0; i < atSave.size(); ++i) {
        if (straight[i].Sub(atSave[i]).Length() < 0.1f) {
            ++resting;
            most = std::max(most, opened[i].Sub(atSave[i]).Length());
        }
    }
    std::printf("%d of %zu bodies at rest in the saved run; the largest move of one of them in "
                "the first second after opening: %.4f px\n",
                resting, atSave.size(), most);
    EXPECT_GE(resting, 15);
    EXPECT_LT(most, 1.0f);
}

// The motion after an opening follows the saved run's. Bodies flying free follow it to a
// hundredth of a pixel (the file holds floats, the physics doubles); where contacts and joints
// hold bodies, the physics library's impulses of the last step (which no file holds) are
// missing from the first step, and the runs part as such systems do.
TEST_F(SceneDocumentTest, MotionAfterOpeningFollowsTheSavedRun) {
    const struct {
        const char* what;
        bool everything;
        float tolerance; // pixels after 2 s: the largest distance, with everything the median
    } cases[] = {{"balls, cubes and stars in the air", false, 0.01f},
                 {"squids and chains as well", true, 24.0f}};
    for (const auto& c : cases) {
        resetGame();
        for (int i = 0; i < 6; ++i) {
            control->spawnAt(1 + i % 3, Vec2(900.0f + 90.0f * static_cast<float>(i), 40.0f));
        }
        if (c.everything) {
            spawnEverything();
        }
        frames(20); // falling, tumbling, swinging
        const std::string saved = CurrentSceneText();
        // Without the rest, the six free bodies alone (the player's tentacle is held by joints).
        auto compared = [&] {
            std::vector<CPVect> all = positions();
            all.resize(c.everything ? all.size() : 6);
            return all;
        };
        frames(120);
        const std::vector<CPVect> straight = compared();
        std::string error;
        ASSERT_TRUE(OpenSceneText(saved, error)) << error;
        frames(120);
        const std::vector<CPVect> opened = compared();
        ASSERT_EQ(opened.size(), straight.size());
        std::vector<float> apart;
        for (std::size_t i = 0; i < opened.size(); ++i) {
            apart.push_back(opened[i].Sub(straight[i]).Length());
        }
        std::sort(apart.begin(), apart.end());
        const float median = apart[apart.size() / 2];
        std::printf("%s: after 2 s, distance from the run without save and open: median %.4f px "
                    "(tolerance %.2f), largest %.4f px\n",
                    c.what, median, c.tolerance, apart.back());
        EXPECT_LE(c.everything ? median : apart.back(), c.tolerance) << c.what;
    }
}

// Each bad file is refused with one line naming what and where, and the scene stays as it was.
TEST_F(SceneDocumentTest, BadFilesAreRefusedAndTheSceneStays) {
    control->spawnAt(3, Vec2(400.0f, 100.0f));
    control->spawnAt(8, Vec2(700.0f, 100.0f));
    frames(2);
    const std::string good = CurrentSceneText();
    auto replaced = [&](std::string from, std::string to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    // The text with what stands in the brackets after key replaced.
    auto inBrackets = [&](const std::string& key, const std::string& to) {
        const auto at = good.find(key + ": [") + key.size() + 3;
        return good.substr(0, at) + to + good.substr(good.find(']', at));
    };
    auto firstState = [&](const std::string& to) { return inBrackets("\"state\"", to); };
    std::string rowMissing = good;
    {
        const auto end = rowMissing.find("\n ],\n \"foreground_edges\"");
        const auto start = rowMissing.rfind(",\n  [", end);
        rowMissing.erase(start, end - start);
    }
    std::string manyBodies = good.substr(0, good.find("\"bodies\": [") + 11);
    for (int i = 0; i < 1'000'000; ++i) {
        manyBodies += "{\"kind\": \"ball\", \"state\": [1.0,1.0,0.0,0.0,0.0,0.0]},";
    }
    std::string linkFewer = good;
    {
        const auto at = linkFewer.find("\n   [", linkFewer.find("\"links\""));
        linkFewer.erase(at, linkFewer.find('\n', at + 1) - at);
    }
    std::string tooMany = good.substr(0, good.find("\"bodies\": [") + 11);
    for (int i = 0; i < 10001; ++i) {
        tooMany += "{\"kind\": \"ball\", \"state\": [1.0,1.0,0.0,0.0,0.0,0.0]},";
    }
    tooMany.back() = ']';
    tooMany += "}";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"empty", "", "malformed JSON at line 1, column 1"},
        {"truncated", good.substr(0, good.size() / 2), "malformed JSON at line"},
        {"not JSON", "hello", "malformed JSON at line 1, column 1"},
        {"another file", "{\"frames\": 3}", "not a scene file"},
        {"future version", replaced("\"dazozi-redov-scene\": 3", "\"dazozi-redov-scene\": 4"),
         "version 4 is newer than this program reads (3)"},
        {"NaN", firstState("NaN, 1.0, 0.0, 0.0, 0.0, 0.0"), "malformed JSON"},
        {"far away", firstState("1e30, 1.0, 0.0, 0.0, 0.0, 0.0"),
         "bodies[0].state[0]: x 1e+30 is beyond 1000000"},
        {"too fast", firstState("1.0, 1.0, 0.0, 0.0, -1e7, 0.0"), "bodies[0].state[4]"},
        {"short state", firstState("1.0, 1.0"), "bodies[0].state: has 2 entries instead of 6"},
        {"a million bodies", manyBodies, "larger than 16 MB"},
        {"negative scroll", inBrackets("\"scroll\"", "-5, 0"), "scroll[0]: -5 is outside"},
        {"short row", replaced("\n  [0,", "\n  ["), "foreground_tiles[0]: has 83 entries"},
        {"missing row", rowMissing, "foreground_tiles: has 31 entries instead of 32"},
        {"unknown cell", replaced("\n  [0,", "\n  [12345,"),
         "foreground_tiles[0][0]: 12345 is no cell of this level"},
        {"unknown kind", replaced("\"kind\": \"star\"", "\"kind\": \"whale\""),
         "bodies[0].kind: unknown kind \"whale\""},
        {"a link fewer", linkFewer, "bodies[2].links: has 10 links; this chain has 11"},
        {"too many bodies", tooMany, "bodies: has more than 10000 entries"},
        {"chain without links", replaced("\"links\": [", "\"gone\": ["),
         "bodies[2]: unknown field \"gone\""},
        {"star index", replaced("{\"star\": 0}", "{\"star\": 1}"),
         "bodies[2].end.star: body 1 is not a star listed before this chain"},
        {"unknown field", replaced("\"paused\"", "\"pasued\""), "unknown field \"pasued\""},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(OpenSceneText(c.text, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what << ": " << error;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(CurrentSceneText(), good) << c.what;
    }
}

// A scene that asks too much of the physics (bodies deep in each other), puts a body inside a
// solid cell or gives a field twice is refused alike as a file and as a link, before anything in
// the game changes; a pile saved from the game opens both ways. Prints each link's size beside the
// scene it unpacks to and the pairs it would have the physics solve.
TEST_F(SceneDocumentTest, CrowdedScenesAreRefusedAsFilesAndAsLinks) {
    control->spawnAt(1, Vec2(500.0f, 100.0f));
    frames(2);
    const std::string good = CurrentSceneText();
    const std::string head = good.substr(0, good.find("\"bodies\": [") + 11);
    auto many = [&](int n, const std::string& body) {
        std::string text = head;
        for (int i = 0; i < n; ++i) {
            text += (i == 0 ? "\n  " : ",\n  ") + body;
        }
        return text + "\n ]\n}\n";
    };
    std::string links = "[";
    for (int i = 0; i < 19; ++i) {
        links += (i == 0 ? "[" : ",[") + std::to_string(1000 - 16 * i) + ".0,60.0,0.0,0.0,0.0,0.0]";
    }
    links += "]";
    const std::string ball = "{\"kind\": \"ball\", \"state\": [500.0, 100.0, 0.0, 0.0, 0.0, 0.0]}";
    const std::string chain =
        "{\"kind\": \"chain\", \"start\": {\"fixed\": [1007.0, 60.0]}, \"end\": {\"fixed\": "
        "[700.0, 60.0]}, \"grace\": 0, \"broken\": [], \"links\": " +
        links + "}";
    // A second list of bodies would silently replace the first.
    std::string twice = many(1, ball);
    twice.replace(twice.find("\"bodies\": ["), 11, "\"bodies\": [], \"bodies\": [");
    // A pile: balls poured at one spot and settled, saved from the game.
    for (int i = 0; i < 150; ++i) {
        control->spawnAt(1 + i % 3, Vec2(600.0f, 100.0f));
        frames(1);
    }
    frames(100);
    const std::string pile = CurrentSceneText();
    resetGame();
    frames(1);
    const std::string before = CurrentSceneText();
    const struct {
        const char* what;
        std::string text;
        const char* error; // nullptr: opens
    } cases[] = {
        {"2,000 balls at one spot", many(2000, ball), "scene: 1,999,000 pairs of bodies overlap"},
        {"300 chains at one spot", many(300, chain), "scene: 852,150 pairs of bodies overlap"},
        {"a ball inside a brick",
         many(1, "{\"kind\": \"ball\", \"state\": [228.0, 396.0, 0.0, "
                 "0.0, 0.0, 0.0]}"),
         "bodies[0]: a ball inside the solid cell at row 16, column 9"},
        {"bodies twice", twice, "scene: field \"bodies\" given twice"},
        {"a pile saved from the game", pile, nullptr},
    };
    for (const auto& c : cases) {
        std::string decoded, error;
        const std::string link = SceneLink::Encode(c.text);
        ASSERT_TRUE(SceneLink::Decode(link, decoded, error)) << c.what << ": " << error;
        ASSERT_EQ(decoded, c.text) << c.what;
        std::printf("%-28s link %6zu characters, scene %7zu bytes: %s\n", c.what, link.size(),
                    decoded.size(), c.error != nullptr ? c.error : "opens");
        for (const std::string* text : {&c.text, static_cast<const std::string*>(&decoded)}) {
            const char* as = text == &c.text ? "file" : "link";
            EXPECT_EQ(OpenSceneText(*text, error), c.error == nullptr) << c.what << " as " << as;
            if (c.error != nullptr) {
                EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
                EXPECT_EQ(CurrentSceneText(), before) << c.what << " as " << as;
            } else {
                resetGame();
                frames(1);
            }
        }
    }
}

// The settings panel's values travel with a scene, as a file and as a link; a file made before
// scenes held them opens with the level's own.
TEST_F(SceneDocumentTest, SettingsTravelWithTheSceneAndOlderFilesTakeTheLevels) {
    TSettings& settings = *gameSettings;
    const int levelGravity = settings.gravity;
    settings.Set(0, 10, 3, false, 0, true); // no gravity, 1/8 speed, the tree
    const std::string saved = CurrentSceneText();
    EXPECT_NE(saved.find("\"settings\": {\"gravity\": 0, \"iterations\": 10, \"sub_steps\": 3, "
                         "\"sleeping\": false, \"time_scale_eighths\": 1, \"broad_phase\": "
                         "\"tree\"}"),
              std::string::npos);
    std::string decoded, error;
    ASSERT_TRUE(SceneLink::Decode(SceneLink::Encode(saved), decoded, error)) << error;
    for (const std::string* text : {&saved, static_cast<const std::string*>(&decoded)}) {
        settings.ResetToDefaults();
        ASSERT_TRUE(settings.AtDefaults());
        ASSERT_TRUE(OpenSceneText(*text, error)) << error;
        EXPECT_EQ(settings.gravity, 0);
        EXPECT_EQ(settings.scale, 0);
        EXPECT_TRUE(settings.tree);
        EXPECT_EQ(level->_FGLayer->spaceMap->GetGravity().GetY(), 0.0f);
        EXPECT_EQ(level->_FGLayer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Tree);
        EXPECT_FALSE(settings.AtDefaults());
        EXPECT_EQ(CurrentSceneText(), saved);
    }
    ASSERT_TRUE(OpenSceneText(kVersion1Ramps, error)) << error;
    EXPECT_TRUE(settings.AtDefaults());
    EXPECT_EQ(settings.gravity, levelGravity);
    EXPECT_EQ(level->_FGLayer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Hash);
}

} // namespace

// Opening scenes are steps of the one undo history with the editor's strokes: every example
// opened over a painted level, as many Ctrl+Z bring the painted level back, one more takes the
// stroke back, and Ctrl+Y walks forward again to the last example.
TEST_F(SceneDocumentTest, OpenedScenesAreStepsOfTheUndoHistoryAsDeepAsItIs) {
    auto tap = [](Key key) {
        PushKey(key, true);
        PushKey(key, false);
    };
    auto ctrlFrame = [&](Key key) {
        PushKey(Key::Control, true);
        tap(key);
        PushKey(Key::Control, false);
        updateGame();
    };
    TLayer& fg = *level->_FGLayer;
    const int column = 5;
    const int row = 3;
    const int loadedTile = fg.MapData[row][column];
    tap(LetterKey('E'));
    updateGame();
    PushMouseMove(column * 24 + 12 - fg.ScrollX, row * 24 + 12 - fg.ScrollY);
    PushMouseButton(1, true);
    PushMouseButton(1, false);
    updateGame();
    tap(LetterKey('E'));
    updateGame();
    const int paintedTile = fg.MapData[row][column];
    ASSERT_NE(paintedTile, loadedTile) << "the click painted nothing";

    std::string error;
    std::vector<std::string_view> opened;
    for (const ExampleScene& example : ExampleScenes()) {
        ASSERT_TRUE(OpenSceneText(example.text, error)) << example.name << ": " << error;
        opened.push_back(example.name);
        updateGame();
    }
    ASSERT_EQ(opened.size(), 12u);
    for (std::size_t i = 0; i < opened.size(); ++i) {
        ctrlFrame(Key::Z);
        EXPECT_TRUE(editor->sceneSwapped) << "undo " << i + 1 << " brought back no scene";
    }
    EXPECT_EQ(fg.MapData[row][column], paintedTile) << "the undos did not reach the painted level";
    ctrlFrame(Key::Z);
    EXPECT_EQ(fg.MapData[row][column], loadedTile) << "the stroke before the scenes stayed";
    EXPECT_EQ(editor->UndoSteps(), 0);
    for (std::size_t i = 0; i <= opened.size(); ++i) {
        ctrlFrame(Key::Y);
    }
    EXPECT_EQ(editor->RedoSteps(), 0);
    // The last example as it was when it was undone (one frame after opening).
    SceneFormat::Scene now, last;
    ASSERT_TRUE(SceneFormat::Read(CurrentSceneText(), now, error)) << error;
    ASSERT_TRUE(SceneFormat::Read(ExampleScenes().back().text, last, error)) << error;
    EXPECT_EQ(now.bodies.size(), last.bodies.size());
}

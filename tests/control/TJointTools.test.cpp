#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "bodies/TDrawn.hpp"
#include "bodies/TMachineJoint.hpp"
#include "control/TEditor.hpp"
#include "control/TJointTools.hpp"
#include "control/TSandbox.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/EditModeFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

using Params = TMachineJoint::Params;

// The joint tools in edit mode, driven by input as a user drives them, the physics paused so
// that the bodies stay where they were put.
class JointToolsTest : public EditModeFixture {
  protected:
    void SetUp() override {
        EditModeFixture::SetUp();
        // A older than B, overlapping it around (330, 140); F fixed, G free over it at (560, 140).
        a = box(260, 100, 340, 160);
        b = box(320, 120, 400, 170);
        f = box(500, 100, 580, 160, true);
        g = box(540, 120, 620, 150);
        ASSERT_TRUE(a && b && f && g);
    }

    // Ctrl+key and the frame that takes it.
    static void ctrlTap(Key key) {
        EditModeFixture::ctrlTap(key);
        updateGame();
    }
    static void use(Key key) {
        tap(key);
        updateGame();
    }
    static std::shared_ptr<CPBody> box(float x0, float y0, float x1, float y1, bool fixed = false) {
        const CPVect corners[] = {Vec2(x0, y0), Vec2(x1, y0), Vec2(x1, y1), Vec2(x0, y1)};
        OutlineFault fault = OutlineFault::None;
        TDrawn* made =
            TDrawn::CreatePolygon(level->_FGLayer, corners, Material::Wood, fixed, fault);
        return made ? made->_body : nullptr;
    }
    static int joints() {
        int n = 0;
        if (TMachineJoint::liveList) {
            for (const auto& j : *TMachineJoint::liveList) {
                n += j && j->_life != 0 && j->IsIntact() ? 1 : 0;
            }
        }
        return n;
    }
    static std::shared_ptr<TMachineJoint> newestJoint() {
        std::shared_ptr<TMachineJoint> last;
        if (TMachineJoint::liveList) {
            for (const auto& j : *TMachineJoint::liveList) {
                if (j && j->_life != 0 && j->IsIntact()) {
                    last = j;
                }
            }
        }
        return last;
    }
    static float distance(CPVect p, float x, float y) { return std::hypot(p.x - x, p.y - y); }

    std::shared_ptr<CPBody> a, b, f, g;
};

TEST_F(JointToolsTest, EachClickOrDragJoinsWhatLiesUnderItOrSaysWhyNot) {
    struct Row {
        const char* what;
        Key tool;
        std::function<void()> gesture;
        JointKind kind;
        const char* first; // the bodies joined ("a", "b", "f", "g", "level"); "" none made
        const char* second;
        float ax, ay, bx, by; // the anchors in the world
        const char* why;      // of a refusal
    };
    const Row rows[] = {
        {"hinge where two overlap: the newest first", LetterKey('J'), [] { clickAt(330, 140); },
         JointKind::Hinge, "b", "a", 330, 140, 330, 140, ""},
        {"hinge on one body: pinned to the level", LetterKey('J'), [] { clickAt(280, 110); },
         JointKind::Hinge, "a", "level", 280, 110, 280, 110, ""},
        {"motor on one body", LetterKey('O'), [] { clickAt(390, 165); }, JointKind::Motor, "b",
         "level", 390, 165, 390, 165, ""},
        {"weld of a free body to the fixed one under it", LetterKey('W'), [] { clickAt(560, 140); },
         JointKind::Weld, "g", "f", 560, 140, 560, 140, ""},
        {"hinge on nothing", LetterKey('J'), [] { clickAt(450, 60); }, JointKind::Hinge, "", "", 0,
         0, 0, 0, TJointTools::kNothingHere},
        {"weld on a fixed body alone", LetterKey('W'), [] { clickAt(510, 110); }, JointKind::Weld,
         "", "", 0, 0, 0, 0, TJointTools::kNothingHere},
        {"spring from body to body", LetterKey('K'), [] { drag(280, 110, 390, 165); },
         JointKind::Spring, "a", "b", 280, 110, 390, 165, ""},
        {"rope from a body to the level", LetterKey('U'), [] { drag(390, 165, 450, 60); },
         JointKind::Rope, "b", "level", 390, 165, 450, 60, ""},
        {"spring from a free body to a fixed one", LetterKey('K'), [] { drag(610, 140, 510, 110); },
         JointKind::Spring, "g", "f", 610, 140, 510, 110, ""},
        {"spring with both ends on the level", LetterKey('K'), [] { drag(450, 60, 470, 40); },
         JointKind::Spring, "", "", 0, 0, 0, 0, TJointTools::kLevelOnly},
        {"rope within one body", LetterKey('U'), [] { drag(270, 105, 300, 110); }, JointKind::Rope,
         "", "", 0, 0, 0, 0, TJointTools::kOneBody},
        {"spring from a fixed body to the level", LetterKey('K'), [] { drag(510, 110, 450, 60); },
         JointKind::Spring, "", "", 0, 0, 0, 0, TJointTools::kNothingHere},
    };
    auto named = [&](const std::string& name) {
        return name == "a"       ? a
               : name == "b"     ? b
               : name == "f"     ? f
               : name == "g"     ? g
               : name == "level" ? fg().staticBodyMap
                                 : nullptr;
    };
    for (const Row& row : rows) {
        TMachineJoint::ClearAll();
        use(row.tool);
        const int steps = editor->UndoSteps();
        row.gesture();
        if (std::string(row.first).empty()) {
            EXPECT_EQ(joints(), 0) << row.what;
            EXPECT_EQ(editor->UndoSteps(), steps) << row.what << ": no step";
            EXPECT_GT(editor->Joints().RefusedFrames(), 0) << row.what;
            EXPECT_EQ(editor->Joints().RefusedWhy(), row.why) << row.what;
            continue;
        }
        ASSERT_EQ(joints(), 1) << row.what << ": " << editor->Joints().RefusedWhy();
        EXPECT_EQ(editor->UndoSteps(), steps + 1) << row.what << ": one step";
        const std::shared_ptr<TMachineJoint> joint = newestJoint();
        EXPECT_EQ(joint->_params.kind, row.kind) << row.what;
        EXPECT_EQ(joint->_bodyA, named(row.first)) << row.what;
        EXPECT_EQ(joint->_bodyB, named(row.second)) << row.what;
        EXPECT_LT(distance(joint->WorldAnchorA(), row.ax, row.ay), 0.01f) << row.what;
        EXPECT_LT(distance(joint->WorldAnchorB(), row.bx, row.by), 0.01f) << row.what;
        if (row.kind == JointKind::Spring || row.kind == JointKind::Rope) {
            EXPECT_NEAR(joint->_length, std::hypot(row.bx - row.ax, row.by - row.ay), 0.01f)
                << row.what << ": rests at (holds at most) the length drawn";
        }
    }
}

TEST_F(JointToolsTest, SettingsKeysChangeTheNextJointAndLeaveControlsChordsAlone) {
    struct Row {
        const char* what;
        std::function<void()> keys;
        std::function<void(Params&)> expect;
    };
    const Row rows[] = {
        {"Z: the next speed", [] { use(Key::Z); }, [](Params& p) { p.motorRate = 180.0f; }},
        {"Z twice", [] { use(Key::Z), use(Key::Z); }, [](Params& p) { p.motorRate = 360.0f; }},
        {"Z round the list", [] { use(Key::Z), use(Key::Z), use(Key::Z), use(Key::Z); },
         [](Params&) {}},
        {"A: the other way", [] { use(Key::A); }, [](Params& p) { p.motorRate = -90.0f; }},
        {"A then Z: faster the other way", [] { use(Key::A), use(Key::Z); },
         [](Params& p) { p.motorRate = -180.0f; }},
        {"I: the motor off", [] { use(LetterKey('I')); }, [](Params& p) { p.motorOn = false; }},
        {"Y: stiffer", [] { use(Key::Y); }, [](Params& p) { p.stiffness = 150.0f; }},
        {"Shift+Y: more damping, the stiffness kept",
         [] {
             PushKey(Key::Shift, true);
             use(Key::Y);
             PushKey(Key::Shift, false);
             updateGame();
         },
         [](Params& p) { p.damping = 8.0f; }},
        {"End: breaks at the first force", [] { use(Key::End); },
         [](Params& p) { p.breakForce = 1000.0f; }},
        {"Ctrl+Z is undo, no speed", [] { ctrlTap(Key::Z); }, [](Params&) {}},
        {"Ctrl+Y is redo, no stiffness", [] { ctrlTap(Key::Y); }, [](Params&) {}},
    };
    for (const Row& row : rows) {
        use(LetterKey('O'));
        editor->Joints().next = Params{};
        editor->Joints().next.kind = JointKind::Motor;
        row.keys();
        Params expected{};
        expected.kind = JointKind::Motor;
        row.expect(expected);
        EXPECT_EQ(editor->Joints().next, expected) << row.what;
    }
    // The next motor is made with them.
    use(Key::A);
    clickAt(390, 165);
    ASSERT_EQ(joints(), 1);
    EXPECT_EQ(newestJoint()->_params.motorRate, -90.0f);
}

TEST_F(JointToolsTest, SelectPicksAJointBeforeTheBodiesAndEachChangeIsOneStepUndone) {
    use(LetterKey('O'));
    clickAt(330, 140);
    const std::shared_ptr<TMachineJoint> motor = newestJoint();
    ASSERT_TRUE(motor);
    use(LetterKey('Q'));
    clickAt(332, 141); // on the mark, over both bodies
    ASSERT_EQ(editor->Selection().SelectedJoint(), motor);
    TBodySteps::Found body;
    EXPECT_FALSE(editor->Selection().Selected(body));

    struct Row {
        const char* what;
        std::function<void()> action;
        std::function<bool(const TMachineJoint&)> done; // true once it is done (false undone)
    };
    const Row rows[] = {
        {"A turns it the other way", [] { use(Key::A); },
         [](const TMachineJoint& j) { return j._params.motorRate < 0.0f; }},
        {"I switches it off", [] { use(LetterKey('I')); },
         [](const TMachineJoint& j) { return !j._params.motorOn; }},
        {"End gives it a breaking force", [] { use(Key::End); },
         [](const TMachineJoint& j) { return j._params.breakForce > 0.0f; }},
    };
    for (const Row& row : rows) {
        const std::shared_ptr<TMachineJoint> joint = editor->Selection().SelectedJoint();
        ASSERT_TRUE(joint) << row.what;
        const int steps = editor->UndoSteps();
        row.action();
        EXPECT_EQ(editor->UndoSteps(), steps + 1) << row.what;
        EXPECT_TRUE(row.done(*joint)) << row.what;
        EXPECT_EQ(editor->Joints().next, Params{.kind = JointKind::Motor})
            << row.what << ": the next joint's settings stay";
        ctrlTap(Key::Z);
        ASSERT_TRUE(newestJoint()) << row.what;
        EXPECT_FALSE(row.done(*newestJoint())) << row.what << ": undone";
        ctrlTap(Key::Y);
        EXPECT_TRUE(row.done(*newestJoint())) << row.what << ": redone";
    }
    // A spring's keys leave a motor as it is: no step.
    const int steps = editor->UndoSteps();
    use(Key::Y);
    EXPECT_EQ(editor->UndoSteps(), steps);

    // Delete removes the joint alone; undoing brings it back between the same bodies.
    use(Key::Delete);
    EXPECT_EQ(joints(), 0);
    EXPECT_EQ(TDrawn::Count(), 4);
    EXPECT_EQ(editor->UndoSteps(), steps + 1);
    ctrlTap(Key::Z);
    ASSERT_EQ(joints(), 1);
    EXPECT_EQ(newestJoint()->_bodyA, b);
    EXPECT_EQ(newestJoint()->_bodyB, a);
    EXPECT_LT(distance(newestJoint()->WorldAnchorA(), 330, 140), 0.01f);
    EXPECT_LT(newestJoint()->_params.motorRate, 0.0f) << "as it was when deleted";
    ctrlTap(Key::Y);
    EXPECT_EQ(joints(), 0);
}

TEST_F(JointToolsTest, ABodyDeletedTakesItsJointsAlongAndUndoingBringsAllBack) {
    use(LetterKey('J'));
    clickAt(330, 140); // b to a
    use(LetterKey('K'));
    drag(390, 165, 450, 60); // b to the level
    use(LetterKey('U'));
    drag(270, 105, 450, 60); // a to the level: stays
    ASSERT_EQ(joints(), 3);
    use(LetterKey('Q'));
    clickAt(380, 150); // b, away from every mark
    TBodySteps::Found picked;
    ASSERT_TRUE(editor->Selection().Selected(picked));
    ASSERT_EQ(picked.key, b);
    const int steps = editor->UndoSteps();
    use(Key::Delete);
    EXPECT_EQ(editor->UndoSteps(), steps + 1) << "one step for the body and its joints";
    EXPECT_EQ(TDrawn::Count(), 3);
    EXPECT_EQ(joints(), 1);

    ctrlTap(Key::Z);
    EXPECT_EQ(TDrawn::Count(), 4);
    ASSERT_EQ(joints(), 3);
    // The body came back as a new physics body: the joints hold that one.
    const std::shared_ptr<CPBody> back = TDrawn::liveList->Last()->_body;
    EXPECT_NE(back, b);
    int onBack = 0;
    for (const auto& j : *TMachineJoint::liveList) {
        if (j && j->IsIntact()) {
            onBack += j->_bodyA == back || j->_bodyB == back ? 1 : 0;
        }
    }
    EXPECT_EQ(onBack, 2);
    ctrlTap(Key::Y);
    EXPECT_EQ(TDrawn::Count(), 3);
    EXPECT_EQ(joints(), 1);
}

TEST_F(JointToolsTest, AJointOnABodyUndoneAwayAndBackIsMadeOnTheBodyOfNow) {
    use(LetterKey('B'));
    drag(620, 200, 680, 240); // a box of the history
    ASSERT_EQ(TDrawn::Count(), 5);
    use(LetterKey('J'));
    clickAt(650, 220);
    ASSERT_EQ(joints(), 1);
    ctrlTap(Key::Z);
    EXPECT_EQ(joints(), 0);
    ctrlTap(Key::Z);
    EXPECT_EQ(TDrawn::Count(), 4);
    ctrlTap(Key::Y);
    ctrlTap(Key::Y);
    ASSERT_EQ(TDrawn::Count(), 5);
    ASSERT_EQ(joints(), 1);
    EXPECT_EQ(newestJoint()->_bodyA, TDrawn::liveList->Last()->_body);
    EXPECT_EQ(newestJoint()->_bodyB, fg().staticBodyMap);
}

} // namespace

namespace {

// On a phone a finger's tap makes a hinge and its drag a rope, as the left button does.
TEST_F(JointToolsTest, AFingersTapHingesAndItsDragStringsARope) {
    const std::shared_ptr<CPBody> c = box(600, 250, 680, 290);
    const std::shared_ptr<CPBody> d = box(660, 270, 720, 300);
    auto at = [](float x, float y, int action) {
        PushFinger(3, action, static_cast<int>(x) - fg().ScrollX,
                   static_cast<int>(y) - fg().ScrollY);
        updateGame();
    };
    use(LetterKey('J'));
    at(670, 280, 1);
    at(670, 280, 0);
    ASSERT_EQ(joints(), 1);
    EXPECT_EQ(newestJoint()->_bodyA, d);
    EXPECT_EQ(newestJoint()->_bodyB, c);
    use(LetterKey('U'));
    at(610, 260, 1);
    at(650, 230, 2);
    at(690, 200, 2);
    at(690, 200, 0);
    ASSERT_EQ(joints(), 2);
    EXPECT_EQ(newestJoint()->_params.kind, JointKind::Rope);
    EXPECT_EQ(newestJoint()->_bodyA, c);
    EXPECT_EQ(newestJoint()->_bodyB, fg().staticBodyMap);
    EXPECT_NEAR(newestJoint()->_length, std::hypot(80.0f, 60.0f), 0.01f);
}

} // namespace

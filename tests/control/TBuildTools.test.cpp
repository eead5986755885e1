#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "bodies/TBall.hpp"
#include "bodies/TDrawn.hpp"
#include "control/SceneBodies.hpp"
#include "control/TBuildTools.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "data/LevelData.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/ConvexSplit.hpp"
#include "support/EditModeFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

// The building tools in edit mode, driven by input as a user drives them, the physics paused
// so that what was made stays where it was made.
class BuildToolsTest : public EditModeFixture {
  protected:
    static std::string scene() {
        return SceneFormat::Write(SceneBodies::Capture(*level, *control, *sandbox, *gameSettings));
    }
    static TDrawn* newest() {
        return TDrawn::Count() > 0 ? TDrawn::liveList->Last().get() : nullptr;
    }
};

// A foreground cell that makes segments and has none above it: a body may rest on its top.
struct Cell {
    int column, row;
};
Cell solidCellWithOpenTop() {
    for (int r = 1; r < 20; ++r) {
        for (int c = 25; c < 40; ++c) {
            if (TLayer::MakesSegments(GridCell(FGBoundMap, r, c)) &&
                !TLayer::MakesSegments(GridCell(FGBoundMap, r - 1, c)) &&
                !TLayer::MakesSegments(GridCell(FGBoundMap, r - 1, c - 1)) &&
                !TLayer::MakesSegments(GridCell(FGBoundMap, r - 1, c + 1))) {
                return {c, r};
            }
        }
    }
    return {-1, -1};
}

TEST_F(BuildToolsTest, EachGestureMakesItsBodyOrIsRefusedWithItsReason) {
    const Cell brick = solidCellWithOpenTop();
    ASSERT_GE(brick.column, 0);
    const float top = static_cast<float>(brick.row * 24);
    const float left = static_cast<float>(brick.column * 24);
    struct Row {
        const char* what;
        Key tool;
        std::function<void()> gesture;
        bool made;
        double area;     // of what was made (square pixels), within 1%
        const char* why; // of a refusal
    };
    const Row rows[] = {
        {"box", LetterKey('B'), [] { drag(280, 100, 340, 140); }, true, 60.0 * 40.0, ""},
        {"Shift: a square on the longer side", LetterKey('B'),
         [] {
             // Held once the drag is under way: Shift with the press grabs a body instead.
             pointAt(280, 100);
             PushMouseButton(1, true);
             updateGame();
             PushKey(Key::Shift, true);
             pointAt(330, 120);
             updateGame();
             PushMouseButton(1, false);
             updateGame();
             PushKey(Key::Shift, false);
         },
         true, 50.0 * 50.0, ""},
        {"circle from its centre", LetterKey('C'), [] { drag(300, 120, 320, 120); }, true,
         3.14159 * 20.0 * 20.0, ""},
        {"polygon closed on its first corner", LetterKey('V'),
         [] {
             clickAt(280, 100);
             clickAt(340, 100);
             clickAt(340, 160);
             clickAt(282, 102);
         },
         true, 60.0 * 60.0 / 2.0, ""},
        {"polygon closed with Enter", LetterKey('V'),
         [] {
             clickAt(280, 100);
             clickAt(340, 100);
             clickAt(340, 160);
             tap(Key::Enter);
             updateGame();
         },
         true, 60.0 * 60.0 / 2.0, ""},
        {"polygon closed with a double click", LetterKey('V'),
         [] {
             clickAt(280, 100);
             clickAt(340, 100);
             clickAt(340, 160);
             clickAt(340, 160);
         },
         true, 60.0 * 60.0 / 2.0, ""},
        {"concave polygon, one body of several pieces", LetterKey('V'),
         [] {
             clickAt(260, 100);
             clickAt(340, 100);
             clickAt(340, 160);
             clickAt(300, 130);
             clickAt(260, 160);
             tap(Key::Enter);
             updateGame();
         },
         true, 80.0 * 60.0 - 80.0 * 30.0 / 2.0, ""},
        {"polygon crossing itself", LetterKey('V'),
         [] {
             clickAt(280, 100);
             clickAt(340, 160);
             clickAt(340, 100);
             clickAt(280, 160);
             tap(Key::Enter);
             updateGame();
         },
         false, 0.0, OutlineFaultText(OutlineFault::CrossesItself)},
        {"box into a brick", LetterKey('B'), [=] { drag(left - 20, top - 30, left + 20, top + 3); },
         false, 0.0, TBuildTools::kCrossesLevel},
        {"box resting on a brick's top", LetterKey('B'),
         [=] { drag(left - 20, top - 30, left + 20, top); }, true, 40.0 * 30.0, ""},
        {"circle into a brick", LetterKey('C'),
         [=] { drag(left + 12, top - 10, left + 12, top + 2); }, false, 0.0,
         TBuildTools::kCrossesLevel},
        {"box too thin", LetterKey('B'), [] { drag(280, 100, 340, 102); }, false, 0.0, "*"},
    };
    for (const Row& row : rows) {
        ClearAllBodies();
        tap(row.tool);
        updateGame();
        const int steps = editor->UndoSteps();
        row.gesture();
        if (!row.made) {
            EXPECT_EQ(TDrawn::Count(), 0) << row.what;
            EXPECT_EQ(editor->UndoSteps(), steps) << row.what << ": no step";
            EXPECT_GT(editor->Build().RefusedFrames(), 0) << row.what << ": the mark flashes";
            if (std::string(row.why) != "*") {
                EXPECT_EQ(editor->Build().RefusedWhy(), row.why) << row.what;
            }
            continue;
        }
        ASSERT_EQ(TDrawn::Count(), 1) << row.what;
        EXPECT_EQ(editor->UndoSteps(), steps + 1) << row.what << ": one step";
        EXPECT_NEAR(newest()->Area(), row.area, row.area * 0.01) << row.what;
    }
}

TEST_F(BuildToolsTest, FreehandIsThinnedToAtMost32Corners) {
    tap(LetterKey('V'));
    updateGame();
    pointAt(400, 120);
    PushMouseButton(1, true);
    updateGame();
    for (int i = 1; i <= 120; ++i) {
        const double a = 2.0 * 3.14159265 * i / 120.0;
        pointAt(static_cast<float>(360.0 + 40.0 * std::cos(a)),
                static_cast<float>(120.0 + 40.0 * std::sin(a)));
        updateGame();
    }
    PushMouseButton(1, false);
    updateGame();
    ASSERT_EQ(TDrawn::Count(), 1);
    std::size_t corners = 0;
    for (const auto& piece : newest()->Pieces()) {
        corners += piece.size();
    }
    // A round path thins to one convex piece: its corners are the outline's.
    EXPECT_EQ(newest()->Pieces().size(), 1u);
    EXPECT_GT(corners, 8u);
    EXPECT_LE(corners, 32u);
    EXPECT_NEAR(newest()->Area(), 3.14159 * 40.0 * 40.0, 3.14159 * 40.0 * 40.0 * 0.05);
}

TEST_F(BuildToolsTest, UndoOfADrawingRemovesThatBodyOnlyAndRedoBringsItBack) {
    control->spawnAt(1, Vec2(500.0f, 120.0f));
    tap(LetterKey('B'));
    updateGame();
    drag(280, 100, 340, 140);
    const std::string one = scene();
    drag(380, 100, 420, 130);
    const std::string two = scene();
    ASSERT_EQ(TDrawn::Count(), 2);
    ctrlTap(LetterKey('Z'));
    updateGame();
    EXPECT_EQ(scene(), one);
    EXPECT_EQ(TBall::Count(), 1);
    ctrlTap(LetterKey('Y'));
    updateGame();
    EXPECT_EQ(scene(), two);
}

TEST_F(BuildToolsTest, MaterialAndFixedAreChosenBeforeAndChangedOnASelectedBody) {
    tap(LetterKey('M'));
    tap(LetterKey('X'));
    tap(LetterKey('B'));
    updateGame();
    EXPECT_EQ(editor->Build().material, NextMaterial(Material::Wood));
    EXPECT_TRUE(editor->Build().fixed);
    drag(280, 100, 340, 140);
    ASSERT_EQ(TDrawn::Count(), 1);
    EXPECT_EQ(newest()->material(), NextMaterial(Material::Wood));
    EXPECT_TRUE(newest()->fixed());

    // Select picks the fixed body; M and X now change it, each one step undone and redone.
    tap(LetterKey('Q'));
    updateGame();
    clickAt(310, 120);
    TBodySteps::Found found;
    ASSERT_TRUE(editor->Selection().Selected(found));
    ASSERT_EQ(found.kind, SceneFormat::Kind::Drawn);
    for (const Key key : {LetterKey('M'), LetterKey('X')}) {
        const std::string before = scene();
        const int steps = editor->UndoSteps();
        tap(key);
        updateGame();
        const std::string after = scene();
        EXPECT_NE(after, before);
        EXPECT_EQ(editor->UndoSteps(), steps + 1);
        ctrlTap(LetterKey('Z'));
        updateGame();
        EXPECT_EQ(scene(), before);
        ctrlTap(LetterKey('Y'));
        updateGame();
        EXPECT_EQ(scene(), after);
    }
    EXPECT_FALSE(newest()->fixed());
    // The choice for the next body stayed as it was.
    EXPECT_TRUE(editor->Build().fixed);
}

// On a phone one finger draws with the chosen tool; a second finger makes it a grab, and the
// drawing goes.
TEST_F(BuildToolsTest, OneFingerDrawsWithTheToolAndASecondDropsTheDrawing) {
    tap(LetterKey('B'));
    updateGame();
    // Below the palette, which a finger's landing lays out finger-sized across the top.
    const int x = 280 - fg().ScrollX, y = 200 - fg().ScrollY;
    PushFinger(3, 1, x, y);
    updateGame();
    PushFinger(3, 2, x + 30, y + 20);
    updateGame();
    PushFinger(3, 2, x + 60, y + 40);
    updateGame();
    PushFinger(3, 0, x + 60, y + 40);
    updateGame();
    ASSERT_EQ(TDrawn::Count(), 1);
    EXPECT_NEAR(newest()->Area(), 60.0 * 40.0, 24.0);

    PushFinger(3, 1, x, y);
    updateGame();
    PushFinger(3, 2, x + 40, y + 30);
    updateGame();
    ASSERT_TRUE(editor->Build().Drawing());
    PushFinger(5, 1, x + 300, y + 300);
    updateGame();
    EXPECT_FALSE(editor->Build().Drawing());
    PushFinger(3, 0, x + 40, y + 30);
    PushFinger(5, 0, x + 300, y + 300);
    updateGame();
    EXPECT_EQ(TDrawn::Count(), 1);
}

TEST_F(BuildToolsTest, EscapeDropsADrawingUnderWayBeforeLeavingEditMode) {
    tap(LetterKey('V'));
    updateGame();
    clickAt(280, 100);
    clickAt(340, 100);
    ASSERT_TRUE(editor->Build().Drawing());
    tap(Key::Escape);
    updateGame();
    EXPECT_FALSE(editor->Build().Drawing());
    EXPECT_TRUE(editor->active);
    tap(Key::Escape);
    updateGame();
    EXPECT_FALSE(editor->active);
    EXPECT_EQ(TDrawn::Count(), 0);
}

} // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "bodies/TBall.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "data/LevelData.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPSpace.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

using Kind = TEditor::CellKind;

// The whole program's frames with edit mode driven by input, as a user drives it.
class EditorTest : public GameFixture {
  protected:
    EditorTest() : GameFixture(5000) {}

    static void tap(Key key) {
        PushKey(key, true);
        PushKey(key, false);
    }
    static void ctrlTap(Key key, bool shift = false) {
        PushKey(Key::Control, true);
        if (shift) {
            PushKey(Key::Shift, true);
        }
        tap(key);
        if (shift) {
            PushKey(Key::Shift, false);
        }
        PushKey(Key::Control, false);
    }
    static TLayer& fg() { return *level->_FGLayer; }
    static Kind cell(int c, int r) {
        return {GridCell(fg().MapData, r, c), GridCell(fg().BoundMap, r, c)};
    }
    static Kind loaded(int c, int r) {
        return {GridCell(FGMapData, r, c), GridCell(FGBoundMap, r, c)};
    }
    // The pointer over the middle of cell (c, r) under this frame's scroll.
    static void pointAt(int c, int r) {
        PushMouseMove(c * 24 + 12 - fg().ScrollX, r * 24 + 12 - fg().ScrollY);
    }
    static void clickAt(int c, int r, int button = 1) {
        pointAt(c, r);
        PushMouseButton(button, true);
        PushMouseButton(button, false);
    }
    // Every cell that differs from the level as loaded.
    static std::set<std::pair<int, int>> changedCells() {
        std::set<std::pair<int, int>> out;
        for (int r = 0; r < 32; ++r) {
            for (int c = 0; c < 84; ++c) {
                if (!(cell(c, r) == loaded(c, r))) {
                    out.insert({c, r});
                }
            }
        }
        return out;
    }
    static Kind chosenKind() { return editor->Palette()[static_cast<std::size_t>(editor->chosen)]; }
};

TEST_F(EditorTest, PaletteHoldsEveryCellKindOfTheLevelOnceWithTheEmptyCellFirst) {
    const auto& palette = editor->Palette();
    ASSERT_EQ(palette.size(), 18u);
    EXPECT_EQ(palette[0], (Kind{0, 0}));
    std::set<std::pair<int, int>> inLevel;
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 84; ++c) {
            inLevel.insert({GridCell(FGMapData, r, c), GridCell(FGBoundMap, r, c)});
        }
    }
    std::set<std::pair<int, int>> inPalette;
    for (const Kind& k : palette) {
        inPalette.insert({k.tile, k.bound});
    }
    EXPECT_EQ(inPalette, inLevel);
    EXPECT_EQ(palette[1], (Kind{1, 15})); // the brick, chosen at first
    EXPECT_EQ(palette.back().tile, -2);   // the animated bush halves last

    // The wheel, Tab and Shift+Tab walk the palette round; a click on an entry chooses it and
    // paints nothing under it.
    tap(Key::E);
    updateGame();
    struct Step {
        const char* what;
        void (*input)();
        int chosen;
    };
    const Step steps[] = {
        {"wheel towards the user", [] { PushMouseWheel(-3); }, 4},
        {"wheel away", [] { PushMouseWheel(1); }, 3},
        {"Tab", [] { tap(Key::Tab); }, 4},
        {"Shift+Tab five times, round the start",
         [] {
             PushKey(Key::Shift, true);
             for (int i = 0; i < 5; ++i) {
                 tap(Key::Tab);
             }
             PushKey(Key::Shift, false);
         },
         17},
        {"a click on entry 6",
         [] {
             const PaletteLayout::Box entry = editor->PaletteNow(1024, 768).Entry(6);
             PushMouseMove(static_cast<int>(entry.x) + 5, static_cast<int>(entry.y) + 5);
             PushMouseButton(1, true);
             PushMouseButton(1, false);
         },
         6},
    };
    for (const Step& step : steps) {
        step.input();
        updateGame();
        EXPECT_EQ(editor->chosen, step.chosen) << step.what;
    }
    EXPECT_TRUE(changedCells().empty());
}

TEST_F(EditorTest, EditModeTakesTheButtonsFromSpawningAndRKeepsTheEdits) {
    tap(DigitKey(1));
    tap(Key::E);
    updateGame();
    ASSERT_TRUE(editor->active);
    clickAt(10, 5);
    updateGame();
    EXPECT_EQ(cell(10, 5), chosenKind());
    pointAt(4, 27); // ground: erased while the right button is held
    PushMouseButton(2, true);
    updateGame();
    updateGame();
    PushMouseButton(2, false);
    updateGame();
    EXPECT_EQ(cell(4, 27), (Kind{0, 0}));
    EXPECT_EQ(TBall::Count(), 0) << "no ball from either button in edit mode";

    tap(Key::R);
    updateGame();
    EXPECT_EQ(changedCells(), (std::set<std::pair<int, int>>{{10, 5}, {4, 27}}));

    tap(Key::E);
    clickAt(12, 5);
    updateGame();
    EXPECT_FALSE(editor->active);
    EXPECT_EQ(TBall::Count(), 1) << "the left button spawns again once edit mode is off";
    EXPECT_EQ(cell(12, 5), loaded(12, 5));
}

TEST_F(EditorTest, AFastDragPaintsEveryCellItCrossesWithoutGaps) {
    tap(Key::E);
    pointAt(2, 2);
    PushMouseButton(1, true);
    updateGame();
    pointAt(25, 10); // the whole way in one frame
    updateGame();
    PushMouseButton(1, false);
    updateGame();
    const auto painted = changedCells();
    ASSERT_EQ(painted.size(), 23u + 8u + 1u) << "one cell per grid line crossed";
    // Walked from the first cell, every painted cell shares an edge with the next.
    std::set<std::pair<int, int>> left = painted;
    std::pair<int, int> at{2, 2};
    ASSERT_EQ(left.erase(at), 1u);
    while (!left.empty()) {
        bool moved = false;
        for (const auto& next :
             {std::pair{at.first + 1, at.second}, std::pair{at.first, at.second + 1}}) {
            if (left.erase(next) == 1) {
                at = next;
                moved = true;
                break;
            }
        }
        ASSERT_TRUE(moved) << "gap after cell " << at.first << ", " << at.second;
    }
    EXPECT_EQ(at, (std::pair{25, 10}));
    EXPECT_EQ(editor->UndoSteps(), 1) << "one stroke";

    // Pressed, dragged and released within one frame, the pointer then gone elsewhere: the
    // stroke runs from the press to the release.
    tap(Key::Home);
    pointAt(2, 4);
    PushMouseButton(1, true);
    pointAt(6, 4);
    PushMouseButton(1, false);
    pointAt(20, 20);
    updateGame();
    EXPECT_EQ(changedCells(),
              (std::set<std::pair<int, int>>{{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}}));
}

TEST_F(EditorTest, UndoAndRedoGoStrokeByStrokeAndHomeBringsBackTheLevelAsLoaded) {
    tap(Key::E);
    clickAt(5, 4);
    updateGame();
    pointAt(5, 6);
    PushMouseButton(1, true);
    updateGame();
    pointAt(8, 6);
    PushMouseButton(1, false);
    updateGame();
    using Cells = std::set<std::pair<int, int>>;
    const Cells first{{5, 4}};
    const Cells both{{5, 4}, {5, 6}, {6, 6}, {7, 6}, {8, 6}};
    ASSERT_EQ(changedCells(), both);
    struct Step {
        const char* what;
        void (*input)();
        Cells cells;
    };
    const Step steps[] = {
        {"Ctrl+Z", [] { ctrlTap(Key::Z); }, first},
        {"Ctrl+Z again", [] { ctrlTap(Key::Z); }, {}},
        {"Ctrl+Z with nothing left", [] { ctrlTap(Key::Z); }, {}},
        {"Z and Y without Ctrl",
         [] {
             tap(Key::Z);
             tap(Key::Y);
         },
         {}},
        {"Ctrl+Shift+Z", [] { ctrlTap(Key::Z, true); }, first},
        {"Ctrl+Y", [] { ctrlTap(Key::Y); }, both},
        {"Home", [] { tap(Key::Home); }, {}},
        {"Ctrl down alone", [] { PushKey(Key::Control, true); }, {}},
        {"Z and the release of Ctrl in the next frame: Ctrl+Z after Home",
         [] {
             tap(Key::Z);
             PushKey(Key::Control, false);
         },
         both},
    };
    for (const Step& step : steps) {
        step.input();
        updateGame();
        EXPECT_EQ(changedCells(), step.cells) << step.what;
    }
    EXPECT_EQ(fg().spaceMap->CountStaticShapes(), 611 + 5 * 4) << "five bricks, four edges each";

    // A hundred and twenty strokes, all taken back one by one.
    tap(Key::Home);
    updateGame();
    for (int i = 0; i < 120; ++i) {
        clickAt(1 + i % 40, 1 + i / 40);
        updateGame();
    }
    EXPECT_EQ(changedCells().size(), 120u);
    for (int i = 0; i < 120; ++i) {
        ctrlTap(Key::Z);
        updateGame();
    }
    EXPECT_TRUE(changedCells().empty());
    EXPECT_EQ(fg().spaceMap->CountStaticShapes(), 611);
}

TEST_F(EditorTest, ACellWhereABodyIsStaysAsItIsAndFlashes) {
    tap(Key::P); // paused: the ball stays where it is made
    tap(Key::E);
    updateGame();
    clickAt(10, 5);
    updateGame();
    clickAt(10, 5, 2);
    updateGame();
    ASSERT_EQ(cell(10, 5), (Kind{0, 0}));
    control->spawnAt(1, Vec2(10 * 24 + 12, 5 * 24 + 12));

    clickAt(10, 5);
    updateGame();
    EXPECT_EQ(cell(10, 5), (Kind{0, 0})) << "painted over a ball";
    EXPECT_EQ(editor->FlashingCells(), 1);
    ctrlTap(Key::Z); // would bring back the brick erased under the ball
    updateGame();
    EXPECT_EQ(cell(10, 5), (Kind{0, 0})) << "undone into a ball";
    EXPECT_EQ(editor->UndoSteps(), 2);
    clickAt(11, 5, 2); // erasing never waits for anyone
    updateGame();
    EXPECT_EQ(editor->UndoSteps(), 2) << "an empty cell erased is no stroke";
    for (int i = 0; i < TEditor::kFlashFrames; ++i) {
        updateGame();
    }
    EXPECT_EQ(editor->FlashingCells(), 0);
}

} // namespace

// In edit mode one finger paints the cells it passes over as the left button does (one stroke
// to undo); a second finger coming while one paints makes it a grab: the stroke goes back.
TEST_F(EditorTest, InEditModeOneFingerPaintsAndTwoFingersGrab) {
    tap(Key::E);
    updateGame();
    auto screenX = [](int c) { return c * 24 + 12 - fg().ScrollX; };
    auto screenY = [](int r) { return r * 24 + 12 - fg().ScrollY; };
    const int row = 5;
    ASSERT_EQ(cell(5, row), loaded(5, row));
    PushFinger(3, 1, screenX(5), screenY(row));
    updateGame();
    PushFinger(3, 2, screenX(10), screenY(row));
    updateGame();
    PushFinger(3, 0, screenX(10), screenY(row));
    updateGame();
    for (int c = 5; c <= 10; ++c) {
        EXPECT_EQ(cell(c, row), chosenKind()) << "column " << c << " of the finger's stroke";
    }
    EXPECT_EQ(editor->UndoSteps(), 1);
    EXPECT_EQ(TBall::Count(), 0);

    ASSERT_TRUE(editor->Undo());
    PushFinger(3, 1, screenX(5), screenY(row));
    updateGame();
    ASSERT_EQ(cell(5, row), chosenKind());
    PushFinger(5, 1, screenX(20), screenY(25));
    updateGame();
    EXPECT_EQ(cell(5, row), loaded(5, row)) << "a second finger left the first one's stroke";
    EXPECT_EQ(editor->UndoSteps(), 0);
    PushFinger(3, 0, screenX(5), screenY(row));
    PushFinger(5, 0, screenX(20), screenY(25));
    updateGame();
}

namespace {

// The palette laid out in the overlay of a window of another size: drawn at the window's pixels
// where the picture is smaller, and with a finger's cells on a touch device.
struct PaletteWindow {
    const char* what;
    int w, h;
    bool touch;
};

class PaletteWindowTest : public EditorTest, public ::testing::WithParamInterface<PaletteWindow> {
  protected:
    void SetUp() override {
        SetOffscreenWindowSize(GetParam().w, GetParam().h);
        EditorTest::SetUp();
        SetTouchDevice(GetParam().touch);
    }
    void TearDown() override {
        EditorTest::TearDown();
        SetOffscreenWindowSize(0, 0);
    }
    // Overlay point (x, y) as the picture's pixel a press there reports.
    static void press(float x, float y) {
        const OverlayFrame overlay = NextOverlay();
        const int px = static_cast<int>(x / overlay.scale);
        const int py = static_cast<int>(y / overlay.scale);
        if (GetParam().touch) {
            PushFinger(1, 1, px, py);
            PushFinger(1, 0, px, py);
        } else {
            PushMouseMove(px, py);
            PushMouseButton(1, true);
            PushMouseButton(1, false);
        }
    }
    static PaletteLayout layout() {
        const OverlayFrame overlay = NextOverlay();
        return editor->PaletteNow(overlay.width, overlay.height);
    }
};

std::string windowName(const ::testing::TestParamInfo<PaletteWindow>& window) {
    return window.param.what;
}

} // namespace

TEST_P(PaletteWindowTest, APressOnACellChoosesItAndOneOnThePanelPaintsNothing) {
    tap(Key::E);
    updateGame();
    const OverlayFrame overlay = NextOverlay();
    EXPECT_EQ(overlay.windowPixels, GetParam().w < 1024) << "drawn at the window's pixels";
    PaletteLayout l = layout();
    // Every shown cell, at its middle and near its corners.
    for (int i = l.first; i < l.first + l.shown; ++i) {
        const PaletteLayout::Box c = l.Entry(i);
        for (const auto& [fx, fy] : {std::pair{0.5f, 0.5f}, {0.1f, 0.1f}, {0.9f, 0.9f}}) {
            editor->chosen = i == 1 ? 2 : 1;
            press(c.x + fx * c.w, c.y + fy * c.h);
            updateGame();
            EXPECT_EQ(editor->chosen, i) << "entry " << i << " at " << fx << ", " << fy;
        }
    }
    // The title chooses nothing. A finger there paints nothing either; the mouse paints the
    // cell under it, as it always has (recordings replay alike).
    editor->chosen = 1;
    press(l.titleX + 20.0f, l.titleY + 12.0f);
    updateGame();
    EXPECT_EQ(editor->chosen, 1);
    EXPECT_EQ(changedCells().size(), GetParam().touch ? 0u : 1u);
    if (!changedCells().empty()) {
        ctrlTap(Key::Z);
        updateGame();
    }
    if (l.arrows) {
        // The later arrow shows the next entries and chooses the first of them.
        const PaletteLayout::Box a = l.Arrow(true);
        press(a.x + a.w / 2.0f, a.y + a.h / 2.0f);
        updateGame();
        EXPECT_EQ(editor->chosen, l.first + l.shown);
        EXPECT_EQ(layout().first, l.first + l.shown);
        l = layout();
        const PaletteLayout::Box back = l.Arrow(false);
        press(back.x + back.w / 2.0f, back.y + back.h / 2.0f);
        updateGame();
        EXPECT_EQ(layout().first, 0);
    }
    EXPECT_TRUE(changedCells().empty());
}

INSTANTIATE_TEST_SUITE_P(Windows, PaletteWindowTest,
                         ::testing::Values(PaletteWindow{"512x384", 512, 384, false},
                                           PaletteWindow{"800x600", 800, 600, false},
                                           PaletteWindow{"1024x768", 1024, 768, false},
                                           PaletteWindow{"phone", 390, 292, true},
                                           PaletteWindow{"phone_turned", 520, 390, true}),
                         &windowName);

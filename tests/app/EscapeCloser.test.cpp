#include "app/EscapeCloser.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "app/Game.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "data/LevelData.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

class EscapeCloserTest : public GameFixture {
  protected:
    EscapeCloserTest() : GameFixture(2000u) {}

    static void tap(Key key) {
        PushKey(key, true);
        PushKey(key, false);
    }
    // One frame after key, which the game reads in it.
    static void frameWith(Key key) {
        tap(key);
        updateGame();
    }
    // True when the frame ended the program (the fixture's EndProgram throws).
    static bool escapeEnds() {
        tap(Key::Escape);
        try {
            updateGame();
        } catch (const std::runtime_error&) {
            return true;
        }
        return false;
    }
    // What is open, in the order Escape closes it: menu, help, settings, stroke, edit mode.
    static std::string opened() {
        std::string s;
        s += sandbox->helpVisible ? "help " : "";
        s += gameSettings->open ? "settings " : "";
        s += editor->Painting() ? "stroke " : "";
        s += editor->active ? "edit " : "";
        return s;
    }
};

struct EscapeCase {
    const char* name;
    std::function<void()> open; // frames that open things
    const char* afterEach[4];   // what is open after each Escape; nullptr: that Escape ends it
};

// Each Escape closes the top thing open; only with nothing open does it end the program.
TEST_F(EscapeCloserTest, EscapeClosesWhatIsOpenOneByOneThenEnds) {
    const EscapeCase cases[] = {
        {"nothing open", [] {}, {nullptr}},
        {"help", [] { frameWith(Key::F1); }, {"", nullptr}},
        {"settings", [] { frameWith(LetterKey('G')); }, {"", nullptr}},
        {"edit mode", [] { frameWith(LetterKey('E')); }, {"", nullptr}},
        {"help over the settings in edit mode",
         [] {
             frameWith(LetterKey('E'));
             frameWith(LetterKey('G'));
             frameWith(Key::F1);
         },
         {"settings edit ", "edit ", "", nullptr}},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClearScene();
        initGame();
        FlushInput();
        updateGame();
        c.open();
        for (const char* expected : c.afterEach) {
            const bool ended = escapeEnds();
            if (expected == nullptr) {
                EXPECT_TRUE(ended) << "Escape with nothing open did not end the program";
                break;
            }
            ASSERT_FALSE(ended) << "Escape ended the program with " << opened() << "open";
            EXPECT_EQ(opened(), expected);
        }
    }
}

// The scene menu is closed by Escape, and a second Escape ends the program.
TEST_F(EscapeCloserTest, TheSceneMenuClosesFirst) {
    frameWith(LetterKey('L'));
    PushKey(Key::Down, true); // the menu holds the arrows: nothing about the squid matters here
    PushKey(Key::Down, false);
    EXPECT_FALSE(escapeEnds()) << "Escape ended the program with the scene menu open";
    // Closed: L opens it again rather than the keys being the menu's.
    frameWith(LetterKey('D'));
    EXPECT_EQ(control->debugMode, 1) << "the menu still took the keys after Escape";
    EXPECT_TRUE(escapeEnds());
}

// Escape while a stroke is painted puts its cells back and keeps edit mode; no step is left.
TEST_F(EscapeCloserTest, EscapeDuringAStrokePutsItsCellsBack) {
    frameWith(LetterKey('E'));
    TLayer& fg = *level->_FGLayer;
    const int column = 5;
    const int row = 3;
    const int before = fg.MapData[row][column];
    PushMouseMove(column * 24 + 12 - fg.ScrollX, row * 24 + 12 - fg.ScrollY);
    PushMouseButton(1, true);
    updateGame();
    ASSERT_TRUE(editor->Painting());
    ASSERT_NE(fg.MapData[row][column], before) << "the stroke painted nothing";
    EXPECT_FALSE(escapeEnds());
    EXPECT_EQ(fg.MapData[row][column], before) << "the cancelled stroke's cell stayed";
    EXPECT_TRUE(editor->active);
    EXPECT_EQ(editor->UndoSteps(), 0);
    // The button still held paints nothing more until pressed again.
    updateGame();
    EXPECT_EQ(fg.MapData[row][column], before);
    PushMouseButton(1, false);
    updateGame();
}

// A recording that ended with Escape replays to its end and hands over: its Escape ends nothing,
// and once handed over the user's Escape ends the program again.
TEST_F(EscapeCloserTest, AReplaysEscapeHandsOverInsteadOfEnding) {
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.AddEvent("3: key 112 tap", error)) << error; // F1
    ASSERT_TRUE(script.AddEvent("5: key 27 tap", error)) << error;  // closes the help
    ASSERT_TRUE(script.AddEvent("7: key 27 tap", error)) << error;  // ended the recording
    RestartFrameCount();
    SetGameReplay(&script);
    SetScriptedInputOnly(true);
    for (int i = 0; i < script.Length(); ++i) {
        HandOverWhenReplayEnds();
        ASSERT_NO_THROW(updateGame()) << "frame " << i;
        if (i == 3) {
            EXPECT_TRUE(sandbox->helpVisible);
        }
    }
    EXPECT_FALSE(sandbox->helpVisible) << "the replayed Escape did not close the help";
    HandOverWhenReplayEnds();
    EXPECT_TRUE(escapeEnds()) << "after the hand-over Escape is the user's";
}

} // namespace

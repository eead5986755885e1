#include "app/SceneMenu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <sstream>
#include <stdexcept>
#include <string>

#include "app/Game.hpp"
#include "app/SavedSceneList.hpp"
#include "app/SceneDocument.hpp"
#include "bodies/TSquid.hpp"
#include "control/TControl.hpp"
#include "data/ExampleScenes.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "scene/SceneFormat.hpp"
#include "support/GameFixture.hpp"
#include "support/TempFolder.hpp"

namespace {

class SceneMenuTest : public GameFixture {
  protected:
    SceneMenuTest() : GameFixture(1000u) {}

    // The menu the cases choose in: its lines, the first `examples` of them examples.
    static inline int lines = 6;
    static inline int examples = 6;

    static void tap(Key key) {
        PushKey(key, true);
        PushKey(key, false);
    }
    static void clickAt(int x, int y) {
        PushMouseMove(x, y);
        PushMouseButton(1, true);
        PushMouseButton(1, false);
    }
    static void lineCentre(int line, int& x, int& y) {
        const SceneMenu::Box box =
            SceneMenu::Line(line, lines, examples, GraphicsWidth(), GraphicsHeight());
        x = static_cast<int>(box.x + box.w / 2.0f);
        y = static_cast<int>(box.y + box.h / 2.0f);
    }
    // One frame's input in a word each: L, Up, Down, Left, Right, Enter, Esc, 1 (the digit), cN
    // (a click on
    // line N), co (a click outside the panel), mN (the pointer onto line N), fN (a finger's tap
    // on line N), fo (a finger's tap outside the panel).
    static void push(const std::string& word) {
        int x = 0;
        int y = 0;
        if (word == "L") {
            tap(LetterKey('L'));
        } else if (word == "Up") {
            tap(Key::Up);
        } else if (word == "Down") {
            tap(Key::Down);
        } else if (word == "Left") {
            tap(Key::Left);
        } else if (word == "Right") {
            tap(Key::Right);
        } else if (word == "Enter") {
            tap(Key::Enter);
        } else if (word == "Esc") {
            tap(Key::Escape);
        } else if (word == "1") {
            tap(DigitKey(1));
        } else if (word == "co") {
            clickAt(20, 700);
        } else if (word == "fo") {
            PushFinger(4, 1, 20, 700);
            PushFinger(4, 0, 20, 700);
        } else if (word[0] == 'c' || word[0] == 'm' || word[0] == 'f') {
            lineCentre(std::stoi(word.substr(1)), x, y);
            if (word[0] == 'c') {
                clickAt(x, y);
            } else if (word[0] == 'f') {
                PushFinger(4, 1, x, y);
                PushFinger(4, 0, x, y);
            } else {
                PushMouseMove(x, y);
            }
        } else {
            throw std::invalid_argument(word);
        }
    }
};

struct MenuCase {
    int lines, examples; // the menu's lines, the first of them examples
    const char* frames;  // frames split by '|', each frame's input words split by spaces
    bool open;           // after the last frame
    int selected;
    int chosen;      // Update's result in the last frame
    int escapesLeft; // Escape hits the menu left for the game
    int digitsLeft;  // hits of 1 left for the game
};

TEST_F(SceneMenuTest, KeysAndClicksChooseOpenAndClose) {
    const MenuCase cases[] = {
        {6, 6, "L", true, 0, -1, 0, 0},
        {6, 6, "L | Down Down | Enter", false, 2, 2, 0, 0},
        {6, 6, "L | Up | Enter", false, 5, 5, 0, 0}, // wraps round to the last line
        {6, 6, "L | Esc", true, 0, -1, 1, 0},        // Escape is left to end the program
        {6, 6, "L L", false, 0, -1, 0, 0},           // two taps in one frame change nothing
        {6, 6, "L | L", false, 0, -1, 0, 0},
        {6, 6, "L | c3", false, 3, 3, 0, 0},
        {6, 6, "L | co", false, 0, -1, 0, 0}, // a click outside closes the menu
        {6, 6, "L | m4 | Enter", false, 4, 4, 0, 0},
        {6, 6, "m4 L | Enter", false, 0, 0, 0, 0}, // a resting pointer chooses nothing
        {6, 6, "L 1 | 1 Down", true, 1, -1, 0, 0}, // the digits are the menu's while it is open
        {6, 6, "Esc 1", false, 0, -1, 1, 1},       // closed, it leaves every other key alone
        {6, 6, "L | Esc Enter", false, 0, 0, 1, 0},
        {6, 6, "L | f2", false, 2, 2, 0, 0}, // a finger chooses as a click does
        {6, 6, "L | fo", false, 0, -1, 0, 0},
        {6, 6, "L | Right | Left Left", true, 0, -1, 0, 0}, // one column: nothing beside
        // Twelve examples in two columns of six, then three saved scenes a line each.
        {15, 12, "L | Right | Enter", false, 6, 6, 0, 0},
        {15, 12, "L | Down Down | Right Right | Left", true, 2, -1, 0, 0},
        {15, 12, "L | Down Down Down Down Down | Down | Enter", false, 6, 6, 0, 0},
        {15, 12, "L | Up | Right | Left | Enter", false, 14, 14, 0, 0}, // a saved scene's line
        {15, 12, "L | Up Up Up Up | Left | Enter", false, 5, 5, 0, 0},
        {15, 12, "L | c7", false, 7, 7, 0, 0},
        {15, 12, "L | c13", false, 13, 13, 0, 0},
        {15, 12, "L | m10 | Enter", false, 10, 10, 0, 0},
        {11, 11, "L | Down Down Down Down Down | Right | Enter", false, 5, 5, 0, 0}, // none beside
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + " lines: " + c.frames);
        lines = c.lines;
        examples = c.examples;
        FlushInput();
        PushMouseMove(0, 0);
        SceneMenu menu;
        menu.Reset();
        int chosen = -1;
        std::stringstream frames(c.frames);
        std::string frame;
        while (std::getline(frames, frame, '|')) {
            std::stringstream words(frame);
            std::string word;
            while (words >> word) {
                push(word);
            }
            chosen = menu.Update(lines, examples);
        }
        EXPECT_EQ(menu.open, c.open);
        EXPECT_EQ(menu.selected, c.selected);
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(KeyHits(Key::Escape), c.escapesLeft);
        EXPECT_EQ(KeyHits(DigitKey(1)), c.digitsLeft);
        EXPECT_EQ(FingerLandings(0) + FingerLandings(1), 0); // no tap left to spawn with
    }
}

// In the game: while the menu is open the arrows do not push the player squid; L closes it; Escape
// closes it too, and a second Escape ends the program.
TEST_F(SceneMenuTest, InTheGameTheMenuHoldsTheArrowsAndEscapeClosesIt) {
    for (int i = 0; i < 60; ++i) {
        updateGame(); // the player squid comes to rest
    }
    tap(LetterKey('L'));
    updateGame();
    PushKey(Key::Left, true);
    for (int i = 0; i < 20; ++i) {
        updateGame();
    }
    // Twenty frames of pushes make it run at hundreds of pixels a second.
    EXPECT_GT(player->_body->GetVelocity().x, -100.0f) << "the held arrow pushed the player";
    tap(LetterKey('L'));
    for (int i = 0; i < 20; ++i) {
        EXPECT_NO_THROW(updateGame());
    }
    EXPECT_LT(player->_body->GetVelocity().x, -100.0f) << "the menu did not close";
    PushKey(Key::Right, false);
    PushKey(Key::Left, false);
    tap(LetterKey('L'));
    updateGame();
    tap(Key::Escape);
    EXPECT_NO_THROW(updateGame()) << "Escape ended the program with the menu open";
    // Closed: the arrow pushes the squid again.
    PushKey(Key::Right, true);
    for (int i = 0; i < 30; ++i) {
        updateGame();
    }
    PushKey(Key::Right, false);
    EXPECT_GT(player->_body->GetVelocity().x, 100.0f) << "Escape did not close the menu";
    tap(Key::Escape);
    EXPECT_THROW(updateGame(), std::runtime_error) << "Escape did not end the program";
}

// Twelve examples with six saved scenes fit the desktop's windows, and the twelve alone a phone's
// picture: the panel within the window, every line within the panel and clear of the others,
// long enough for its name or label.
TEST_F(SceneMenuTest, TheMenuFitsEveryWindowWithTwelveExamples) {
    const struct {
        int width, height, saved;
    } windows[] = {{1024, 768, 6}, {800, 600, 6}, {512, 384, 6}, {390, 292, 0}};
    const int named = static_cast<int>(ExampleScenes().size());
    ASSERT_EQ(named, 12);
    std::size_t longest = 0;
    for (const ExampleScene& scene : ExampleScenes()) {
        longest = std::max(longest, scene.name.size());
    }
    constexpr float kGlyphW = 8.0f;
    for (const auto& w : windows) {
        SCOPED_TRACE(std::to_string(w.width) + " x " + std::to_string(w.height));
        const int all = named + w.saved;
        const SceneMenu::Box panel = SceneMenu::Panel(all, named, w.width, w.height);
        EXPECT_GE(panel.x, 0.0f);
        EXPECT_GE(panel.y, 0.0f);
        EXPECT_LE(panel.x + panel.w, static_cast<float>(w.width));
        EXPECT_LE(panel.y + panel.h, static_cast<float>(w.height));
        for (int i = 0; i < all; ++i) {
            const SceneMenu::Box a = SceneMenu::Line(i, all, named, w.width, w.height);
            EXPECT_GE(a.x, panel.x) << i;
            EXPECT_LE(a.x + a.w, panel.x + panel.w) << i;
            EXPECT_GE(a.y, panel.y + SceneMenu::kTitleH) << i;
            EXPECT_LE(a.y + a.h, panel.y + panel.h - SceneMenu::kFooterH) << i;
            // The name (after the inset and the marker's two glyphs) fits its line.
            const std::size_t chars = i < named ? longest : SavedSceneList::kLabelChars;
            EXPECT_LE(SceneMenu::kPad / 2.0f + static_cast<float>(chars + 2) * kGlyphW, a.w) << i;
            for (int j = 0; j < i; ++j) {
                const SceneMenu::Box b = SceneMenu::Line(j, all, named, w.width, w.height);
                const bool apart =
                    a.x >= b.x + b.w || b.x >= a.x + a.w || a.y >= b.y + b.h || b.y >= a.y + a.h;
                EXPECT_TRUE(apart) << "lines " << j << " and " << i << " overlap";
            }
        }
    }
}

// The user's saved scenes follow the examples, looked up as the menu opens; one chosen opens.
TEST_F(SceneMenuTest, TheUsersSavedScenesFollowTheExamplesAndOpen) {
    static TempFolder folder;
    static std::string path;
    path = folder.File("mine.json");
    {
        std::ofstream(path) << ExampleScenes()[1].text; // the dominoes, under a name of the user's
    }
    static int lookups = 0;
    lookups = 0;
    SetSavedSceneFinder([] {
        ++lookups;
        return SavedSceneList::Newest(folder.Path().string(), 6);
    });
    SetSceneOpener(&OpenSceneText, &RestorePreviousScene);
    updateGame();
    EXPECT_EQ(lookups, 0) << "the disk was looked at before the menu opened";
    tap(LetterKey('L'));
    updateGame();
    EXPECT_EQ(lookups, 1);
    tap(Key::Up); // from the first line round to the last: the saved scene
    updateGame();
    tap(Key::Enter);
    updateGame();
    SceneFormat::Scene opened, dominoes;
    std::string error;
    ASSERT_TRUE(SceneFormat::Read(CurrentSceneText(), opened, error)) << error;
    ASSERT_TRUE(SceneFormat::Read(ExampleScenes()[1].text, dominoes, error)) << error;
    EXPECT_EQ(opened.bodies.size(), dominoes.bodies.size()) << "the saved scene did not open";
    EXPECT_EQ(opened.foregroundTiles, dominoes.foregroundTiles);
    SetSavedSceneFinder(nullptr);
    SetSceneOpener(nullptr, nullptr);
}

} // namespace

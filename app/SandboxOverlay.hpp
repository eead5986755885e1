#pragma once

#include <span>
#include <string>

class SceneMenu;
class TEditor;
class TSandbox;
struct ExampleScene;
class TSettings;

// What the sandbox controls show over the scene, away from the counts in the top-left corner and
// the frame rate in the top-right one: "PAUSED" at the top centre, the help panel in the middle,
// a short "F1: help" hint in the bottom-right corner during the first frames (above the
// selected kind's picture where the pointer rests in that corner), a hint at the
// bottom when the player squid is lost, for a moment the path of a saved screenshot, and for a
// moment beside the pointer how to choose what to drop after a click that dropped nothing, and
// the scene menu's panel, and the settings panel (G) at the right, below the frame rate.
class SandboxOverlay {
  public:
    static constexpr int kHintFrames = 300;       // the "F1: help" hint: the first 5 s at 60 Hz
    static constexpr int kNoticeFrames = 180;     // a notice stays 3 s at 60 Hz
    static constexpr int kChooseHintFrames = 120; // the pointer's hint stays 2 s at 60 Hz

    // The "F1: help" hint is for someone at the window: the interactive program switches it on;
    // headless runs (scenarios, golden frames) leave the game's own screens untouched.
    bool hintEnabled = false;

    // Shows text at the bottom left for kNoticeFrames frames (replaces an earlier one).
    void ShowNotice(const std::string& text);
    // A button was pressed with no kind selected: "1-8: choose what to drop" beside the pointer
    // for kChooseHintFrames frames (starts them again when shown).
    void ShowChooseHint();
    // A kind is selected: the pointer's hint goes at once.
    void HideChooseHint() { chooseHintFrames_ = 0; }
    // Draws everything due for this frame; editMode (non-owning, nullptr: none): while edit mode
    // is on, "PAUSED" goes below its palette; settings: its panel when open (nullptr: none).
    // Leaves the drawing state as it found it (white, alpha 1, mask blending).
    void Draw(const TSandbox& controls, bool playerLost, const TEditor* editMode = nullptr,
              const TSettings* settings = nullptr);

    // The scene menu's panel while it is open, listing scenes by name with the menu's line
    // highlighted; nothing while closed. Leaves the drawing state as Draw does.
    void DrawSceneMenu(const SceneMenu& menu, std::span<const ExampleScene> scenes);

  private:
    std::string notice_;
    int noticeFrames_ = 0;
    int chooseHintFrames_ = 0;
};

#pragma once

#include <memory>

class TLevel;

// The settings panel's state (G): gravity, solver iterations, sub-steps per frame, sleeping of
// resting bodies, the time scale and the broad phase (how the space finds touching pairs), changed
// only by keys and clicks so that a recording replays them. Starts closed with the level's own
// settings; the panel's reset goes back to those. Slow motion and fast forward run fewer or more
// whole physics frames per displayed frame, never shorter or longer steps, so the simulation is the
// same at every speed.
class TSettings {
  public:
    // The broad phase comes after the reset row: recordings made before it existed reach their
    // rows by counting arrow presses.
    enum Row { Gravity, Iterations, SubSteps, Sleeping, TimeScale, Reset, BroadPhase, RowCount };
    static constexpr int kScaleCount = 6;
    // The time scales in eighths of full speed: 1/8, 1/4, 1/2, 1, 2, 4.
    static constexpr int kScaleEighths[kScaleCount] = {1, 2, 4, 8, 16, 32};
    static constexpr int kFullSpeed = 3;         // index of 1 in kScaleEighths
    static constexpr float kSleepSeconds = 0.5f; // resting this long puts a group to sleep
    static constexpr int kGravityStep = 100;     // pixels/s^2 per press
    static constexpr int kGravityMax = 3000;
    static constexpr int kIterationsMax = 50;
    static constexpr int kSubStepsMax = 12;

    bool open = false; // the panel is shown and takes the arrow keys and its clicks
    int selected = Gravity;
    int gravity = 0;    // pixels/s^2, downwards
    int iterations = 0; // solver iterations per step
    int subSteps = 0;   // physics steps per frame (each 1/60 s / subSteps long)
    bool sleeping = false;
    int scale = kFullSpeed; // index into kScaleEighths
    bool tree = false;      // the library's bounding-box tree instead of the level's spatial hash

    // Keeps the level (non-owning use each frame), reads its settings as the defaults, closes.
    void init(std::shared_ptr<TLevel> level);
    // One frame of G, and while open the arrow keys and left clicks on the panel. Call before
    // the controller (which must then neither steer nor spawn with what the panel took: see
    // TakesArrows, PointerOverPanel). Changes are applied to the level at once.
    void updateControls();
    // Physics frames to run in this displayed frame: the time scale's share plus what earlier
    // frames left over (0 in most frames at 1/8, 4 in every frame at 4x). Call once per running
    // (not paused) frame.
    int PhysicsFrames();
    // True while slow motion carries part of a physics frame to the next displayed frame (a
    // replay starting here would run its physics frames at other displayed frames).
    bool CarriesPart() const { return carry_ != 0; }
    bool TakesArrows() const { return open; }
    bool PointerOverPanel() const; // open and the pointer is over the panel (window pixels)
    bool AtDefaults() const;       // everything as the level set it
    // Sets every value at once (a scene's), each clamped to the panel's range, and applies them
    // to the level at once.
    void Set(int gravity_, int iterations_, int subSteps_, bool sleeping_, int scale_,
             bool tree_ = false);
    void ResetToDefaults(); // the level's own values, applied at once (the panel's reset row)

    // Value text of a row ("600", "on", "1/4", "" for the reset row); never null; may be this
    // object's buffer, valid until the next call.
    const char* ValueText(int row) const;
    static const char* RowName(int row); // the row's label; "" for a row that does not exist

    // Panel geometry in window pixels, shared by the drawing and the clicks.
    static constexpr float kPanelW = 260.0f;
    static constexpr float kTitleH = 26.0f;
    static constexpr float kRowH = 22.0f;
    static constexpr float kPad = 10.0f;
    static constexpr float kButtonW = 20.0f;
    static float PanelX();                  // left edge: near the window's right edge
    static constexpr float kPanelY = 72.0f; // below the frame rate, the pause text and edit palette
    static constexpr float PanelH() {
        return kTitleH + static_cast<float>(RowCount) * kRowH + kPad;
    }
    static constexpr float RowY(int row) {
        return kPanelY + kTitleH + static_cast<float>(row) * kRowH;
    }
    static float MinusX() { return PanelX() + kPanelW - kPad - 3.0f * kButtonW - 40.0f; }
    static float PlusX() { return PanelX() + kPanelW - kPad - kButtonW; }

  private:
    void change(int row, int direction); // -1 or +1 on a row; on Reset either resets
    void apply();                        // pushes the values into the level and its space
    void resetToDefaults();

    std::shared_ptr<TLevel> level_;
    int defaultGravity_ = 0, defaultIterations_ = 0, defaultSubSteps_ = 0;
    bool defaultSleeping_ = false;
    bool defaultTree_ = false;
    int carry_ = 0; // eighths of a physics frame not yet run
    mutable char text_[16] = {};
};

#pragma once

#include <memory>
#include <string>

#include "bodies/Material.hpp"
#include "control/OutlineGesture.hpp"
#include "control/ToolInput.hpp"

class TBodySteps;
class TLayer;
class TLevel;

// Edit mode's building tools: Box, Circle and Polygon draw a body of the chosen material, free
// (it falls) or fixed to the world, while the world runs. The outline under way is previewed;
// one that cannot be made says why, and a release that would make it makes nothing and flashes
// it. Each body made is one step of the editor's history.
class TBuildTools {
  public:
    using Outline = OutlineGesture::Outline;
    static constexpr int kRefusedFrames = 30; // a refused outline flashes 0.5 s at 60 Hz
    static constexpr float kCellInset = 1.0f; // a body may touch a solid cell's side, not enter it
    static constexpr const char* kCrossesLevel = "crosses the level";

    Material material = Material::Wood; // of the next body drawn (M)
    bool fixed = false;                 // the next body holds still (X)

    // Keeps the level (non-owning use of its foreground) and the body steps that take each body
    // made into the history (non-owning, outlives this). Nothing under way.
    void init(std::shared_ptr<TLevel> level, TBodySteps* steps);
    // The tool for the next gestures (Box, Circle or Polygon); drops a drawing under way.
    void begin(OutlineGesture::Tool tool);
    OutlineGesture::Tool Tool() const { return gesture_.tool(); }
    // One frame of the tool's input (a drawing tool is active).
    void update(const ToolInput& in);
    // Drops the drawing under way (Escape). True if there was one.
    bool Cancel();
    bool Drawing() const { return gesture_.Active(); }
    // Why outline cannot be made ("" when it can): its own fault, or the level's solid cells in
    // its way.
    std::string Refusal(const Outline& outline) const;
    // True when outline overlaps a solid foreground cell (one that makes segments) by more than
    // kCellInset: zero-thickness edges along its sides do not count.
    static bool CrossesLevel(const TLayer& layer, const Outline& outline);
    // The outline under way, or the refused one flashing, in world pixels under the current
    // origin; the reason written beside it.
    void draw(bool shift) const;
    // Counts a frame of a refused outline's flash.
    void tick();
    // The refused outline flashing now (frames left, 0 when none), and why.
    int RefusedFrames() const { return refusedFrames_; }
    const std::string& RefusedWhy() const { return refusedWhy_; }

  private:
    // Makes the body and its step; false with why set when it cannot be made.
    bool make(const Outline& outline, std::string& why);

    std::shared_ptr<TLevel> level_;
    TBodySteps* steps_ = nullptr;
    OutlineGesture gesture_;
    Outline refused_;
    std::string refusedWhy_;
    int refusedFrames_ = 0;
};

#pragma once

#include <memory>

#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TTileSet.hpp"

// The playfield: background and foreground tile sets and layers, the physics stepping of the
// foreground space, and the camera: zoom, scroll limits (a level smaller than the view is
// centred in it), following or free, and the background's parallax.
class TLevel {
  public:
    std::shared_ptr<TLayer> _BGLayer; // drawn only
    std::shared_ptr<TTileSet> _BGTileSet;
    std::shared_ptr<TTileSet> _FGTileSet;
    std::shared_ptr<TLayer> _FGLayer; // collides; its space holds every body
    int _lvl = 0;
    int _steps = 0;      // physics sub-steps per frame
    float _dt = 0.0f;    // seconds per sub-step
    int _maxScrollH = 0; // largest foreground scroll, pixels
    int _maxScrollW = 0;

    // The camera: the zoom is 2^(step / 4), a quarter of an octave a step, from 1/4 to 4.
    static constexpr int kMinZoomStep = -8;
    static constexpr int kMaxZoomStep = 8;
    // The zoom of a step (clamped to the range).
    static float ZoomOfStep(int step);
    int ZoomStep() const { return zoomStep_; }
    // True while the view follows the camera target; false after a pan, until FollowAgain.
    bool Following() const { return following_; }
    // Zooms by steps (clamped to the range) keeping the world point under picture point
    // (x, y) under it, within the scroll limits. No-op without layers.
    void ZoomAt(int steps, double x, double y);
    // Zooms to step (clamped) with world point `world` under picture point (x, y), within the
    // scroll limits, and frees the view (two fingers pinching and dragging).
    void PlaceAt(int step, CPVect world, double x, double y);
    // Frees the view and puts its top-left corner at world point (x, y), within the limits.
    void PanTo(int x, int y);
    // The view follows the camera target again from the next update or Follow.
    void FollowAgain();
    // Sets the whole camera at once (scenes): step clamped, scroll within the limits.
    void SetCamera(int step, int scrollX, int scrollY, bool following);

    virtual ~TLevel();
    // Sub-steps per frame and their duration (1/60 s split evenly); steps <= 0 gives a
    // duration of 0 (the physics then stands still).
    virtual void Init(int steps);
    // Builds level lvl after the graphics mode is set; only level 0 has content, any other number
    // only records lvl and leaves the layers as they are (absent on a new level).
    virtual void Load(int lvl);
    // Scrolls the foreground to target (the view's corner at zoom 1; zoomed, the view centred
    // where that one is centred) while the view follows, steps its space _steps times (the
    // steps argument is unused), limits the scroll and sets the background's parallax (a third
    // of the scroll at zoom 1). No-op without layers.
    virtual void update(int steps, CPVect target);
    // update without the physics steps: scrolls to target within the limits (paused frames).
    void Follow(CPVect target);
    // Draws the background layer, then the foreground layer (each that exists).
    virtual void Draw();

  private:
    // Clamps the foreground scroll to the level and sets the background's parallax scroll.
    void limitScroll();
    // limitScroll under a zoom other than 1.
    void limitZoomedScroll();
    // The foreground's scroll for a camera target (the view's corner at zoom 1): the view
    // centred where the target's view would be centred.
    void scrollToTarget(CPVect target);
    // Sets both layers' zoom from zoomStep_ (the background's damped).
    void applyZoom();
    int zoomStep_ = 0;
    bool following_ = true;
};

#pragma once

#include <memory>

#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TTileSet.hpp"

// The playfield: background and foreground tile sets and layers, the physics stepping of the
// foreground space and the scroll limits with the background's parallax.
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

    virtual ~TLevel();
    // Sub-steps per frame and their duration (1/60 s split evenly); steps <= 0 gives a
    // duration of 0 (the physics then stands still).
    virtual void Init(int steps);
    // Builds level lvl after the graphics mode is set; only level 0 has content, any other number
    // only records lvl and leaves the layers as they are (absent on a new level).
    virtual void Load(int lvl);
    // Scrolls the foreground to target, steps its space _steps times (the steps argument is
    // unused), limits the scroll and sets the background to a third of it. No-op without layers.
    virtual void update(int steps, CPVect target);
    // update without the physics steps: scrolls to target within the limits (paused frames).
    void Follow(CPVect target);
    // Draws the background layer, then the foreground layer (each that exists).
    virtual void Draw();

  private:
    // Clamps the foreground scroll to the level and sets the background's parallax scroll.
    void limitScroll();
};

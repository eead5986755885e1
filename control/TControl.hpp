#pragma once

#include <memory>

#include "bodies/TObject.hpp"
#include "control/SpawnKinds.hpp"
#include "control/TSteer.hpp"
#include "physics/CPVect.hpp"

class CPBody;
class CPShape;
class TLevel;
class TSquid;

// The one input controller: reads keyboard and mouse once per frame, steers the player squid,
// toggles the debug view, keeps the selected spawn kind and spawns bodies at the pointer.
class TControl : public TObject {
  public:
    int debugMode = 0;     // 1 = debug outlines on, -1 = off (0 only before init)
    int currentObject = 0; // selected spawn kind 1..8, 0 = nothing selected
    std::shared_ptr<TLevel> level;
    std::shared_ptr<TSquid> player;
    // This frame's, as the last updateControls was given them (read by the touches and the
    // preview). steering: the arrows and drags push the player. spawning: the buttons spawn,
    // and the preview follows the pointer.
    bool steering = true;
    bool spawning = true;
    // This frame: the left button clicked (without Shift) or the right one was pressed while no
    // kind was selected, so nothing dropped.
    bool pressedUnselected = false;
    // The left button pressed on the player squid and dragged: steers it with the arrow keys.
    TSteer mouseSteer;

    // Keeps level and player, debug view off, nothing selected. Call once after the level loaded.
    virtual void init(std::shared_ptr<TLevel> level, std::shared_ptr<TSquid> player);
    // One frame of input: Escape ends the program (EndProgram), arrows push the player, D toggles
    // the debug view, digits select a kind, right button (held) and left button (clicks) spawn.
    // With Shift held the left button grabs (TSandbox) instead of spawning. Sets
    // pressedUnselected. canSpawn false: the buttons spawn nothing (edit mode or a panel has them);
    // canSteer false: nothing is pushed (no physics this frame: pushes would pile up in the
    // player's velocity and burst out when it runs again). Both are kept for the frame.
    virtual void updateControls(bool canSpawn = true, bool canSteer = true);
    // ForEach callback: when shape is a polygon of a star, lastStarBody = the newest listed star's
    // body. data is ignored. Always 0.
    static int getLastPolyObject(CPShape* shape, void* data);
    // Debug outlines (when debugMode == 1) and the half-transparent preview of the selected kind
    // at the pointer. Leaves alpha 1, mask blending and origin (0, 0).
    virtual void drawControl();
    // Creates and initialises one body of the given kind (1..8) at world point p with the spawn
    // table's parameters; other kinds make nothing. Also used by the benchmarks' scenes.
    void spawnAt(int kind, CPVect p);
    // A chain of n + 1 links with the spawn table's links at world point p: mode as TChain::Init
    // takes it, endAnchor the body its end is tied to (nullptr: one of its own). Kinds 5 to 8
    // and opened scenes make their chains through it.
    void spawnChain(CPVect p, int mode, const std::shared_ptr<CPBody>& endAnchor, int n);
    // A new player squid at world point p (the player's own size and tentacle); the caller makes
    // it the player.
    std::shared_ptr<TSquid> createPlayer(CPVect p);
    // Adds a push of -1, 0 or 1 per axis (a finger's drag, TTouch) to this frame's from the keys
    // and the mouse's drag, each axis at most one key's push in all. Nothing when not steering.
    void steerAlso(int x, int y);
    // Where the player squid is in the picture's pixels (world minus the scroll); false when it
    // has no body.
    bool playerOnScreen(CPVect& p) const;

  private:
    // Starts, follows and ends the mouse's drag from the player squid (left button, no Shift).
    // True when a drag began in this frame.
    bool updateMouseSteer();
    bool leftHeld_ = false;     // the left button was held in the last frame
    int pushX_ = 0, pushY_ = 0; // this frame's push so far, per axis
    // Spawns one body of the given kind (1..8) under the pointer.
    void spawn(int kind);
};

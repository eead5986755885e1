#pragma once

// Copies of the game's physics space on the bare library, for the benchmarks' physics limits
// (BarePhysics in dazozi-bench, BareCopy in dazozi-physics-split): the same bodies, shapes and
// joints made again through the library's public calls, side by side in fresh memory.

struct cpSpace;

// What a copy takes over (all of it unless told otherwise).
struct CopyParts {
    bool segments = true;          // shapes of static bodies (the level's outlines)
    bool velocityFunctions = true; // the squids' and tentacles' own gravity
    bool joints = true;
};

class SpaceCopier {
  public:
    // Gives `to` the solver settings of `from` (iterations, gravity, damping, sleeping, the
    // contacts' slop, bias and persistence); not its index nor its pair rules.
    static void CopySettings(cpSpace* from, cpSpace* to);
    // Copies the bodies, shapes and joints of `from` (only read) into `to`, an empty space
    // whose settings, index and pair rules the caller has set. Returns how many joints were of
    // kinds the copy does not know (left out). The copy's bodies record their role for
    // DampLikeTheGame; `to` must be freed with Free.
    static int Copy(cpSpace* from, cpSpace* to, const CopyParts& parts);
    // Removes and frees every joint, shape and body of a copy made by Copy, then its space.
    static void Free(cpSpace* copy);
    // The game damps balls, stars and squids by 0.98 once a frame outside the physics step,
    // without waking them; the copy's bodies get the same between frames (not timed).
    static void DampLikeTheGame(cpSpace* copy);
};

#pragma once

// The physics limit: a copy of the game's physics space built on the bare library, stepped
// the same way (same segments, bodies, shapes, joints, hash settings, iterations, sub-steps),
// with no wrapper objects, no registry and no drawing.
//
// The copy is made from the library objects the game itself created: the benchmark executable
// is linked with -Wl,--wrap for the library's space constructor and hash settings (see
// BarePhysics.cpp), so it knows every space the game made and how its hashes were sized.

#include <cstddef>
#include <string>

struct cpSpace;

class BarePhysics {
  public:
    BarePhysics() = default;
    ~BarePhysics();
    BarePhysics(const BarePhysics&) = delete;
    BarePhysics& operator=(const BarePhysics&) = delete;

    // Replaces the copy by a fresh copy of the game space holding the most shapes.
    // Returns false (and sets Error) when no game space was seen.
    bool CopyGameSpace();
    // One frame of the copy: `steps` library steps of dt seconds.
    void StepFrame(int steps, double dt);
    // The game damps balls, stars and squids by 0.98 once per frame outside the physics step;
    // the copy gets the same treatment so both scenes stay alike (not part of the timing).
    void DampLikeTheGame();

    // Removes and frees everything in the copy, then the copy's space: what a reset of the
    // scene costs the bare library (the limit of the game's R).
    void Destroy();

    int Bodies() const { return bodies; }
    int Shapes() const { return shapes; }
    int Joints() const { return joints; }
    const std::string& Notes() const { return notes; }
    const std::string& Error() const { return error; }

    // Counts in the game's own space (read through the library, for the table).
    static int GameBodies();
    static int GameShapes();
    static int GameJoints();

  private:
    cpSpace* space = nullptr;
    int bodies = 0, shapes = 0, joints = 0;
    std::string notes, error;
};

#pragma once

// A copy of a physics space on the bare library with parts of it left out or changed, for the
// table of where the level's physics goes (dazozi-physics-split). Made from the library space
// alone, so it needs no hooks on the library (and builds for node as well as natively).

struct cpSpace;

struct BareVariant {
    const char* name = "";
    bool tree = false;             // the library's default bounding-box tree instead of a hash
    double hashCell = 0.0;         // pixels; 0: the source's 10 px
    int hashCount = 0;             // cells; 0: the source's 2,000
    int iterations = 0;            // 0: the source's
    int steps = 3;                 // library steps per 1/60 s frame
    bool segments = true;          // the level's static segments
    bool velocityFunctions = true; // the squids' and tentacles' own gravity
    bool joints = true;
};

class BareCopy {
  public:
    // Copies bodies, shapes, joints, collision rules and solver settings of `from` (not owned,
    // only read here) as the variant says.
    BareCopy(cpSpace* from, const BareVariant& variant);
    ~BareCopy();
    BareCopy(const BareCopy&) = delete;
    BareCopy& operator=(const BareCopy&) = delete;

    // One 1/60 s frame in variant.steps library steps (what is timed).
    void StepFrame();
    // The game's damping of balls, stars and squids between frames (not timed).
    void Damp();

  private:
    cpSpace* space = nullptr;
    int steps = 3;
};

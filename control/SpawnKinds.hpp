#pragma once

#include <memory>
#include <span>

#include "bodies/TChain.hpp"
#include "physics/CPVect.hpp"

struct BodyClass;
class CPBody;
class CPShape;
class TLayer;

// Body of the newest star found by the last kind-8 spawn that met a star shape; nullptr until
// then. May refer to a body freed since (a star that left the level): check IsFreed() before use.
extern std::shared_ptr<CPBody> lastStarBody;

// ForEach callback (TControl::getLastPolyObject): when shape is a polygon of a star,
// lastStarBody = the newest listed star's body. data is ignored. Always 0.
int FindLastStar(CPShape* shape, void* data);

// The kinds of body the user spawns, by the number recordings, scenes and the selection keep
// (1 to 8, the digit that selects it); None = nothing selected.
enum class SpawnKind : int {
    None = 0,
    Ball = 1,
    Cube = 2,
    Star = 3,
    Squid = 4,
    Chain = 5,        // both ends free
    FixedChain = 6,   // fixed at both ends
    HangingChain = 7, // fixed at its start, free at its end
    StarChain = 8,    // fixed at its start, tied to the newest star at its end
};

// One spawn kind: everything the controller, the preview, the toolbar, the overlay and the page
// need to know of it. Rows live in SpawnKinds.cpp, one a kind, in key order.
struct SpawnKindRow {
    SpawnKind kind;
    const char* name;         // one lower-case word ("ball")
    int digit;                // the digit key (main keyboard and keypad) that selects it
    bool whileHeld;           // the right button held spawns one a frame (else clicks only)
    const char* overlayLabel; // its count's line in the overlay; nullptr: on an earlier row's
    const BodyClass* body;    // the class it makes: counted and hashed through it
    // Makes one at world point p (pixels) in layer's space.
    void (*spawn)(const std::shared_ptr<TLayer>& layer, CPVect p);
    // The pointer preview centred on world point (x, y); the caller has set the origin, alpha
    // 0.5 and blending, and restores them.
    void (*drawPreview)(float x, float y);
    // The toolbar button's picture centred on (cx, cy) in a square of `side` output pixels.
    // Leaves scale 1 and mask blending.
    void (*drawButton)(float cx, float cy, float side);
};

// The chain every chain kind and every scene's chain makes: `mode` as TChain::Init takes it,
// n + 1 links of radius 7 two pixels apart.
TChain::Params SpawnedChain(int mode, int n);

// Every row, in key order (row i is kind i + 1).
std::span<const SpawnKindRow> SpawnKinds();
// The row of kind 1..8; nullptr for None or any other number.
const SpawnKindRow* FindSpawnKind(int kind);
inline const SpawnKindRow* FindSpawnKind(SpawnKind kind) {
    return FindSpawnKind(static_cast<int>(kind));
}

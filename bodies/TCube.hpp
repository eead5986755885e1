#pragma once

#include <memory>

#include "bodies/TObject.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A square box body drawn with the cube image turned with it; not damped per frame.
class TCube : public TObject {
  public:
    // New instance (Null shape/body, dead) appended to liveList (made on first call).
    static std::shared_ptr<TCube> Create();
    // Builds body + box of half side `half` (collision type 1) at p in layer's space.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, float half, float mass, int life,
              float elasticity, float friction);
    // The off-level test only (may set _life to 0).
    void update();
    // Draws in world coordinates; leaves blend 1, rotation 0.
    void Draw();
    // World point Draw centres its pictures on (pixels; valid while the body exists).
    CPVect DrawCentre() const;
    // How far from DrawCentre the pictures reach at any angle: a 32 x 32 picture turned any way
    // (pixels).
    static constexpr float kDrawReach = 22.7f;
    // Frees body and shape, takes this cube out of liveList (may destroy it).
    void remove();
    // Per-frame pass over liveList.
    static void UpdateAll();
    // Entries in liveList (0 while it is Null).
    static int Count();
    // Tests/tools: frees every cube's physics objects; liveList and layer back to Null.
    static void ClearAll();

    static std::unique_ptr<TList<std::shared_ptr<TCube>>> liveList;
    static std::shared_ptr<TLayer> layer;

    std::shared_ptr<CPPolyShape> _shape;
    std::shared_ptr<CPBody> _body;
    int _life = 0;

  private:
    void release();
};

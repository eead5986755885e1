#pragma once

#include <memory>

#include "bodies/LiveBody.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A square box body drawn with the cube image turned with it; not damped per frame.
class TCube : public LiveBody<TCube> {
  public:
    // Builds body + box of half side `half` (collision type 1) at p in layer's space.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, float half, float mass, int life,
              float elasticity, float friction);
    // Init's numbers by name: half side (px), mass, life (nonzero = alive), elasticity, friction.
    struct Params {
        float half = 0.0f;
        float mass = 0.0f;
        int life = 0;
        float elasticity = 0.0f;
        float friction = 0.0f;
    };
    void Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k) {
        Init(layer_, p, k.half, k.mass, k.life, k.elasticity, k.friction);
    }
    // The off-level test only (may set _life to 0).
    void update();
    // Draws in world coordinates; leaves Blend::Mask, rotation 0.
    void Draw();
    // World point Draw centres its pictures on (pixels; valid while the body exists).
    CPVect DrawCentre() const;
    // How far from DrawCentre the pictures reach at any angle: a 32 x 32 picture turned any way
    // (pixels).
    static constexpr float kDrawReach = 22.7f;

    std::shared_ptr<CPPolyShape> _shape;
    std::shared_ptr<CPBody> _body;
    int _life = 0;

  private:
    friend class LiveBody<TCube>;
    // Frees every physics object Init made; safe to call twice (remove, ClearAll).
    void release();
};

#pragma once

#include <memory>

#include "bodies/LiveBody.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A five-pointed star: one body with a convex centre pentagon and, in style 1, five convex
// corner triangles (the outline itself is not convex). Drawn with an additive glow.
class TStar : public LiveBody<TStar> {
  public:
    // style 0: outer pentagon only; 1: inner pentagon + five corners; other: inner pentagon only.
    // Pentagon gets collision type 4, corners type 3; the moment is always the outer pentagon's.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, int style, float mass, int life,
              float elasticity, float friction);
    // Init's numbers by name: style (as above), mass, life (nonzero = alive), elasticity,
    // friction.
    struct Params {
        int style = 0;
        float mass = 0.0f;
        int life = 0;
        float elasticity = 0.0f;
        float friction = 0.0f;
    };
    void Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k) {
        Init(layer_, p, k.style, k.mass, k.life, k.elasticity, k.friction);
    }
    // Velocity x 0.98, then the off-level test.
    void update();
    // Star then glow (Blend::Light, alpha 0.4); leaves alpha 1, rotation 0, Blend::Mask.
    void Draw();
    // World point Draw centres its pictures on (pixels; valid while the body exists).
    CPVect DrawCentre() const;
    // How far from DrawCentre the pictures reach at any angle: the 64 x 64 glow turned any way
    // (pixels).
    static constexpr float kDrawReach = 45.3f;

    std::shared_ptr<CPPolyShape> _upCornerShape;
    std::shared_ptr<CPPolyShape> _rightCornerShape;
    std::shared_ptr<CPPolyShape> _leftCornerShape;
    std::shared_ptr<CPPolyShape> _downRightCornerShape;
    std::shared_ptr<CPPolyShape> _downLeftCornerShape;
    std::shared_ptr<CPPolyShape> _pentagoneShape;
    std::shared_ptr<CPBody> _body;
    int _life = 0;

  private:
    friend class LiveBody<TStar>;
    // Frees every physics object Init made; safe to call twice (remove, ClearAll).
    void release();
};

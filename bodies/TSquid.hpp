#pragma once

#include <memory>

#include "bodies/LiveBody.hpp"
#include "bodies/TTentacle.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A round body that floats down under its own gravity of 20 px/s^2 and trails a tentacle.
// The player is one of them.
class TSquid : public LiveBody<TSquid> {
  public:
    // Body + circle (collision type 6) at p, then a tentacle of n + 1 segments
    // (half width radius / 1.25, pivot radius 8, segment mass 0.75).
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, int n, float radius, float mass,
              int life, float elasticity, float friction);
    // Init's numbers by name: tentacle n (n + 1 segments), radius (px), mass, life (nonzero =
    // alive), elasticity, friction.
    struct Params {
        int tentacle = 0;
        float radius = 0.0f;
        float mass = 0.0f;
        int life = 0;
        float elasticity = 0.0f;
        float friction = 0.0f;
    };
    void Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k) {
        Init(layer_, p, k.tentacle, k.radius, k.mass, k.life, k.elasticity, k.friction);
    }
    // Frees the squid's shape and body, marks its tentacle dead (the tentacle pass of the same
    // frame frees it before the next step) and takes the squid out of liveList.
    void remove();
    // Velocity function of the squid's body: forces dropped, gravity (0, 20) instead of the
    // space's.
    static int applyVelocity(CPBody& body, CPVect gravity, float damping, float dt);
    // Velocity x 0.98, then the off-level test.
    void update();
    // The squid only (tentacles are drawn by their own pass); leaves Blend::Mask, rotation 0.
    void Draw();
    // True once remove() (or ClearAll) released the body: its position must not be read then.
    bool IsRemoved() const;

    std::shared_ptr<CPBody> _body;
    int _life = 0;
    std::shared_ptr<CPCircleShape> _shapeSquid;
    std::shared_ptr<TTentacle> _tentacle;

  private:
    friend class LiveBody<TSquid>;
    // Frees the squid's shape and body; safe to call twice.
    void release();
    // ClearAll's part for one squid: its physics objects and its tentacle's.
    void discard();
};

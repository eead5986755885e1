#pragma once

#include <cstdint>
#include <memory>

#include "bodies/LiveBody.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A row of round links held by slide joints between two anchors. Two seconds after Init an
// overstretched inner joint may break (one per chain per frame) with a metallic sound.
class TChain : public LiveBody<TChain> {
  public:
    // n + 1 links of radius r laid out leftwards from the start anchor. mode 1: given anchors
    // or fixed ones; mode 2: given start or fixed, given end or free; other: both free (given
    // bodies ignored). Requested anchors stand at p and p + (-2 r n, 0); made anchors are
    // placed 112 px right of that. No end joint when n == 0. Breaks allowed once the layer's
    // space has taken kGraceSteps more steps.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, int mode,
              const std::shared_ptr<CPBody>& startAnchor, const std::shared_ptr<CPBody>& endAnchor,
              int n, float gap, float radius, float mass, int life, float elasticity,
              float friction);
    // Init's numbers by name: mode (as above), n (n + 1 links), gap and link radius (px), link
    // mass, life (nonzero = alive), elasticity, friction.
    struct Params {
        int mode = 0;
        int n = 0;
        float gap = 0.0f;
        float radius = 0.0f;
        float mass = 0.0f;
        int life = 0;
        float elasticity = 0.0f;
        float friction = 0.0f;
    };
    void Init(const std::shared_ptr<TLayer>& layer_, CPVect p, const Params& k,
              const std::shared_ptr<CPBody>& startAnchor,
              const std::shared_ptr<CPBody>& endAnchor) {
        Init(layer_, p, k.mode, startAnchor, endAnchor, k.n, k.gap, k.radius, k.mass, k.life,
             k.elasticity, k.friction);
    }
    // Makes an anchor body (infinite moment) at position + (112, 0) with a radius-5 circle of
    // collision type 7; only a finite-mass body joins the space; withShape 1 adds and shows
    // the circle. The chain keeps both and releases them in remove().
    std::shared_ptr<CPBody> createAnchors(CPVect position, float mass, int withShape,
                                          float friction);
    // After the grace time: breaks the first inner joint stretched beyond _strong (link
    // positions), playing metalDropSound. Anchor joints never break. Joints the physics layer
    // already freed (an end body removed elsewhere) are dropped from _joint, never touched.
    void update();
    // Chains hang under every other body: their pass runs (and draws) first.
    static constexpr bool kDrawnBeneath = true;
    // Anchors (fixed ones) then links, at scale r / 7; leaves white, alpha 1, Blend::Mask,
    // rotation 0, scale 1.
    void Draw();

    TList<std::shared_ptr<CPCircleShape>> _shape;
    TList<std::shared_ptr<CPBody>> _body;
    TList<std::shared_ptr<CPSlideJoint>> _joint;
    float _length = 0.0f;
    float _radius = 0.0f;
    int _life = 0;
    int _cycle = 0; // the space's StepsTaken() from which joints may break (wrapping)
    // Two seconds of simulated time at the level's fixed step of 1/180 s.
    static constexpr std::uint32_t kGraceSteps = 360;
    float _strong = 0.0f;

    // Anchors made by createAnchors (bodies and circles, shown or not), owned for release.
    TList<std::shared_ptr<CPBody>> _anchorBody;
    TList<std::shared_ptr<CPCircleShape>> _anchorShape;
    // The two anchor joints, which never break (non-owning; _joint owns them). Null when absent.
    const CPSlideJoint* _startJoint = nullptr;
    const CPSlideJoint* _endJoint = nullptr;

  private:
    friend class LiveBody<TChain>;
    // Frees every physics object Init made; safe to call twice (remove, ClearAll).
    void release();
};

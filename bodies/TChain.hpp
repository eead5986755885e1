#pragma once

#include <cstdint>
#include <memory>

#include "bodies/TObject.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// A row of round links held by slide joints between two anchors. Two seconds after Init an
// overstretched inner joint may break (one per chain per frame) with a metallic sound.
class TChain : public TObject {
  public:
    // New chain (empty lists, zero numbers) appended to liveList (made on first call).
    static std::shared_ptr<TChain> Create();
    // n + 1 links of radius r laid out leftwards from the start anchor. mode 1: given anchors
    // or fixed ones; mode 2: given start or fixed, given end or free; other: both free (given
    // bodies ignored). Requested anchors stand at p and p + (-2 r n, 0); made anchors are
    // placed 112 px right of that. No end joint when n == 0. Breaks allowed once the layer's
    // space has taken kGraceSteps more steps.
    void Init(const std::shared_ptr<TLayer>& layer, CPVect p, int mode,
              const std::shared_ptr<CPBody>& startAnchor, const std::shared_ptr<CPBody>& endAnchor,
              int n, float gap, float radius, float mass, int life, float elasticity,
              float friction);
    // Makes an anchor body (infinite moment) at position + (112, 0) with a radius-5 circle of
    // collision type 7; only a finite-mass body joins the space; withShape 1 adds and shows
    // the circle. The chain keeps both and releases them in remove().
    std::shared_ptr<CPBody> createAnchors(CPVect position, float mass, int withShape,
                                          float friction);
    // After the grace time: breaks the first inner joint stretched beyond _strong (link
    // positions), playing metalDropSound. Anchor joints never break. Joints the physics layer
    // already freed (an end body removed elsewhere) are dropped from _joint, never touched.
    void update();
    // Tests/tools: frees every chain's physics objects; liveList and layer back to Null.
    static void ClearAll();
    // Per-frame pass over liveList.
    static void UpdateAll();
    // Frees joints, link shapes and bodies and the anchors this chain made; leaves liveList.
    void remove();
    // Anchors (fixed ones) then links, at scale r / 7; leaves white, alpha 1, blend 1,
    // rotation 0, scale 1.
    void Draw();
    // Entries in liveList (chains, not links; 0 while it is Null).
    static int Count();

    static std::unique_ptr<TList<std::shared_ptr<TChain>>> liveList;
    static std::shared_ptr<TLayer> layer;

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
    void release();
};

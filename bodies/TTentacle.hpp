#pragma once

#include <memory>

#include "bodies/LiveBody.hpp"
#include "media/base/TList.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPinJoint.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// The row of small bodies a squid trails: each segment pinned to the one before (twice, once
// in each direction), the first pinned to the squid. Has its own weak gravity of 10 px/s^2.
class TTentacle : public LiveBody<TTentacle> {
  public:
    // n + 1 segments hanging from `body` at `attach` (first-segment coordinates), laid out to
    // the left of body's current position; size = half box width, radius = pivot radius r.
    void Init(const std::shared_ptr<TLayer>& layer, const std::shared_ptr<CPBody>& body,
              CPVect attach, int n, float size, float radius, float mass, int life,
              float elasticity, float friction);
    // Velocity function of every segment: forces dropped, gravity (0, 10) instead of the space's.
    static int applyVelocity(CPBody& body, CPVect gravity, float damping, float dt);
    // Nothing to do per frame: a tentacle never leaves on its own.
    void update();
    // Pivots as beads darkening by 10 per segment (clamped at 0), joined by faint blue lines.
    // Leaves white, alpha 1, Blend::Mask, rotation 0, scale 1, line width 1.
    void Draw();
    // Number of segments of this tentacle (n + 1 after Init).
    int Count() const;
    // Calls f(body) for each segment's body, first segment first.
    template <class F> void forEachBody(F&& f) {
        for (const std::shared_ptr<CPBody>& body : _bodyRect) {
            f(body);
        }
    }
    // Sum of Count over liveList (0 while it is Null).
    static int CountAll();
    // Entries in liveList (0 while it is Null).
    static int CountInstances();

    TList<std::shared_ptr<CPCircleShape>> _shapePivot;
    TList<std::shared_ptr<CPBody>> _bodyRect;
    TList<std::shared_ptr<CPPolyShape>> _shapeRect;
    TList<std::shared_ptr<CPPinJoint>> _joint;
    float _size = 0.0f;
    float _radius = 0.0f;
    int _life = 0;
    int _length = 0;

    // Frees every physics object of this tentacle; safe to call more than once.
    void release();
};

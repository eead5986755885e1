#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "bodies/LiveBody.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPJoint.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// What a machine joint does between its two bodies.
enum class JointKind : int {
    Hinge = 0,  // pinned at a point, both free to turn about it
    Motor = 1,  // a hinge that turns the first body against the second at a set speed
    Spring = 2, // a damped spring resting at the length it was made with
    Rope = 3,   // holds the anchors at most the length it was made with, slack shorter
    Weld = 4,   // holds the two bodies rigidly as they were
};
inline constexpr int kJointKindCount = 5;

// A joint a user builds machines with, between any two bodies or a body and the level (the
// layer's static body). Owns its physics joints; the bodies belong to their own kinds. A body
// being freed frees the physics joints on it first (CPBody::Free), so a joint whose body is
// gone never reaches the library again: it finds itself broken at its next update and leaves.
// The class-wide list is updated and drawn after the bodies (UpdateAllBodies) and cleared first
// (ClearAllBodies).
class TMachineJoint : public LiveBody<TMachineJoint> {
  public:
    struct Params {
        JointKind kind = JointKind::Hinge;
        // Motor: the first body's speed against the second's, degrees/s (positive: clockwise on
        // the picture), the most torque it may use (mass * pixels^2/s^2), and whether it drives
        // (off: a plain hinge).
        float motorRate = 90.0f;
        float motorTorque = 10000.0f;
        bool motorOn = true;
        // Spring: force per pixel of stretch (mass/s^2) and per pixel/s of stretching (mass/s).
        float stiffness = 40.0f;
        float damping = 1.0f;
        // The force (mass * pixels/s^2) beyond which the joint breaks; 0 never breaks.
        float breakForce = 0.0f;

        bool operator==(const Params&) const = default;
    };
    // The choices the tools cycle through (the first of each is the default above, except
    // rates, which also go the other way round with the sign).
    static constexpr float kMotorRates[] = {90.0f, 180.0f, 360.0f, 45.0f};
    static constexpr float kMotorTorques[] = {10000.0f, 50000.0f, 2000.0f};
    static constexpr float kStiffnesses[] = {40.0f, 150.0f, 600.0f, 10.0f};
    static constexpr float kDampings[] = {1.0f, 8.0f, 0.0f};
    static constexpr float kBreakForces[] = {0.0f, 1000.0f, 5000.0f, 20000.0f};
    // Beyond these, settings make no sense in a level: refused by files, never chosen by tools.
    static constexpr float kMaxMotorRate = 3600.0f;  // degrees/s
    static constexpr float kMaxMotorTorque = 1.0e9f; // mass * px^2/s^2
    static constexpr float kMaxStiffness = 1.0e5f;   // mass/s^2
    static constexpr float kMaxDamping = 1.0e4f;     // mass/s
    static constexpr float kMaxBreakForce = 1.0e7f;  // mass * px/s^2
    static constexpr float kMaxLength = 4096.0f;     // pixels between the anchors

    // Joins a at anchorA (a's body coordinates) to b at anchorB (b's); b or a may be the
    // layer's static body (the level). A spring rests at, and a rope holds at most, the anchors'
    // distance of now. Without two distinct usable bodies (or with two static ones) the joint
    // is made dead and leaves at the next pass. Breaks allowed kGraceSteps steps from now.
    void Init(const std::shared_ptr<TLayer>& layer, const std::shared_ptr<CPBody>& a,
              const std::shared_ptr<CPBody>& b, CPVect anchorA, CPVect anchorB,
              const Params& params);
    // As Init, with the length (pixels) and a weld's angle (b's minus a's, degrees) given
    // instead of taken from now: what a saved scene restores.
    void Init(const std::shared_ptr<TLayer>& layer, const std::shared_ptr<CPBody>& a,
              const std::shared_ptr<CPBody>& b, CPVect anchorA, CPVect anchorB, float length,
              float angle, const Params& params);
    // Leaves (dead) once a body or physics joint of it is gone; after the grace time breaks
    // when the force it held in the last step passes breakForce, with the chains' sound.
    void update();
    // The kind's mark in world coordinates (the caller sets the origin); leaves white, alpha 1,
    // Blend::Mask, line width 1. Nothing when broken.
    void Draw();
    // Every listed joint's Draw, oldest first, with the origin as it is: the debug view draws
    // them again over its outlines.
    static void DrawMarks();
    // The mark of a joint with params whose anchors are at world points a and b, turned with
    // the first body's angle (degrees): what Draw draws, and what the tools preview. Leaves as
    // Draw does.
    static void DrawMark(const Params& params, CPVect a, CPVect b, float angle);
    // New settings on this joint, its bodies, anchors and length kept (the kind may change; a
    // weld made so holds the angle between the bodies of now).
    void Change(const Params& params);
    // True while both bodies and every physics joint of it live.
    bool IsIntact() const;
    // World points of the two anchors (pixels); valid while IsIntact().
    CPVect WorldAnchorA() const;
    CPVect WorldAnchorB() const;

    // The tools' entry: a joint of params.kind at world point p (hinge, motor, weld: the two
    // newest bodies under p, or the newest one and the level) or from p to q (spring, rope: the
    // newest body under each end, or the level there). Null when nothing would be joined (no
    // body, or one body to itself).
    static std::shared_ptr<TMachineJoint> Place(const std::shared_ptr<TLayer>& layer, CPVect p,
                                                CPVect q, const Params& params);
    // The newest intact joint whose mark is within reach pixels of world point p (a hinge's
    // ring, a rope's line), or Null.
    static std::shared_ptr<TMachineJoint> MarkAt(CPVect p, float reach);
    // A joint owns no body: nothing for the body walks (hash, tools).
    template <class F> void forEachBody(F&&) {}

    std::shared_ptr<CPBody> _bodyA, _bodyB;
    CPVect _anchorA, _anchorB; // in each body's coordinates
    float _length = 0.0f;      // spring rest length or rope's most (pixels)
    float _angle = 0.0f;       // b's angle minus a's that a weld holds (degrees)
    Params _params;
    // The positional joint (pivot, spring or slide), and the motor or the weld's angle lock.
    std::shared_ptr<CPJoint> _joint, _extra;
    int _life = 0;
    int _cycle = 0; // the space's StepsTaken() from which the joint may break (wrapping)
    // Two seconds at the level's step of 1/180 s, as chains have.
    static constexpr std::uint32_t kGraceSteps = 360;
    static constexpr float kStepSeconds = 1.0f / 180.0f;

  private:
    friend class LiveBody<TMachineJoint>;
    void build(); // the physics joints of _params between the bodies, added to the space
    void release();
};

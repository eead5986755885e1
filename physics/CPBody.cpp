#include "physics/CPBody.hpp"

#include <cmath>

#include "physics/CPJoint.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"
#include "physics/ChipmunkGlue.hpp"
#include "physics/ChipmunkInternals.hpp"

namespace {

cpBody* BodyOf(const CPObject& o) {
    return static_cast<cpBody*>(o.GetHandle());
}

// The library calls this in place of its own integration for bodies with a velocity function.
// The body's user data is its wrapper.
void VelocityTrampoline(cpBody* body, cpVect gravity, cpFloat damping, cpFloat dt) {
    auto* wrapper = static_cast<CPBody*>(cpBodyGetUserData(body));
    if (CPVelocityFunction fn = wrapper->GetVelocityFunction()) {
        fn(*wrapper, FromCp(gravity), static_cast<float>(damping), static_cast<float>(dt));
    }
}

} // namespace

std::shared_ptr<CPBody> CPBody::Create(float mass, float moment) {
    std::shared_ptr<CPBody> body(new CPBody());
    body->mass_ = mass;
    body->moment_ = moment;
    // This library accepts only finite masses on simulated bodies; an infinitely heavy body is
    // what it calls a static body.
    body->static_ = std::isinf(mass) && mass > 0.0f;
    cpBody* handle = body->static_ ? cpBodyNewStatic() : cpBodyNew(mass, moment);
    cpBodySetUserData(handle, body.get());
    body->cpObjectPtr = handle;
    return body;
}

std::shared_ptr<CPBody> CPBody::CreateKinematic() {
    std::shared_ptr<CPBody> body(new CPBody());
    body->mass_ = INFINITY;
    body->moment_ = INFINITY;
    body->kinematic_ = true;
    cpBody* handle = cpBodyNewKinematic();
    cpBodySetUserData(handle, body.get());
    body->cpObjectPtr = handle;
    return body;
}

CPBody::~CPBody() {
    Release();
}

void CPBody::Release() {
    cpBody* handle = BodyOf(*this);
    if (handle == nullptr) {
        return;
    }
    // The library's shapes and joints point at their bodies, so they go first; each removes
    // itself from these lists.
    while (!joints_.empty()) {
        joints_.back()->Free();
    }
    while (!shapes_.empty()) {
        shapes_.back()->Free();
    }
    // A space being destroyed is already gone from the library: nothing to take out of it.
    cpSpace* space = cpBodyGetSpace(handle);
    if (space != nullptr && CPSpace::TakenOutOneByOne(*this)) {
        cpSpaceRemoveBody(space, handle);
    }
    cpBodyFree(handle);
    cpObjectPtr = nullptr;
    CPSpace::Unlist(*this); // may drop the space's reference: nothing of this object is used after
}

void CPBody::Free() {
    if (IsFreed()) {
        return;
    }
    auto keep = shared_from_this(); // the space may hold the last reference
    Release();
}

void CPBody::ReindexIfStatic() {
    // Shapes of a static body are indexed once; moving such a body must re-index them.
    if (static_) {
        if (cpSpace* space = cpBodyGetSpace(BodyOf(*this))) {
            cpSpaceReindexShapesForBody(space, BodyOf(*this));
        }
    }
}

void CPBody::SetPosition(CPVect p) {
    if (cpBody* b = BodyOf(*this)) {
        cpBodySetPosition(b, ToCp(p));
        ReindexIfStatic();
    }
}

CPVect CPBody::GetPosition() const {
    const cpBody* b = BodyOf(*this);
    return b ? FromCp(cpBodyGetPosition(b)) : ZeroVect;
}

float CPBody::GetAngle() const {
    const cpBody* b = BodyOf(*this);
    return b ? static_cast<float>(cpBodyGetAngle(b)) * kDegreesPerRadian : 0.0f;
}

void CPBody::SetAngle(float degrees) {
    if (cpBody* b = BodyOf(*this)) {
        cpBodySetAngle(b, double(degrees) / double(kDegreesPerRadian));
        ReindexIfStatic();
    }
}

CPVect CPBody::GetRot() const {
    const cpBody* b = BodyOf(*this);
    return b ? FromCp(cpBodyGetRotation(b)) : CPVect{1.0f, 0.0f};
}

CPVect CPBody::LocalToWorld(CPVect p) const {
    const cpBody* b = BodyOf(*this);
    return b ? FromCp(cpBodyLocalToWorld(b, ToCp(p))) : p;
}

CPVect CPBody::WorldToLocal(CPVect p) const {
    const cpBody* b = BodyOf(*this);
    return b ? FromCp(cpBodyWorldToLocal(b, ToCp(p))) : p;
}

bool CPBody::IsSleeping() const {
    const cpBody* b = BodyOf(*this);
    return b != nullptr && cpBodyIsSleeping(b);
}

void CPBody::SetVelocity(CPVect v) {
    if (cpBody* b = BodyOf(*this)) {
        cpBodySetVelocity(b, ToCp(v));
    }
}

void CPBody::DampVelocity(float factor) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr || static_ || cpBodyIsSleeping(b)) {
        return;
    }
    // The same float arithmetic as SetVelocity(GetVelocity().Mult(factor)): without sleeping
    // the motion is exactly what it was. The library's setter would wake the body and restart
    // its idle time, and a body damped every frame would never fall asleep.
    SetVelocityQuietly(b, ToCp(FromCp(cpBodyGetVelocity(b)).Mult(factor)));
}

CPVect CPBody::GetVelocity() const {
    const cpBody* b = BodyOf(*this);
    return b ? FromCp(cpBodyGetVelocity(b)) : ZeroVect;
}

CPExactState CPBody::GetExactState() const {
    const cpBody* b = BodyOf(*this);
    if (b == nullptr) {
        return {};
    }
    const cpVect p = cpBodyGetPosition(b), v = cpBodyGetVelocity(b);
    return {p.x, p.y, cpBodyGetAngle(b), v.x, v.y, cpBodyGetAngularVelocity(b)};
}

void CPBody::SetExactState(const CPExactState& s) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr) {
        return;
    }
    // The library's own setters, so that its transform and the sleeping bookkeeping follow.
    cpBodySetPosition(b, cpv(s.x, s.y));
    cpBodySetAngle(b, s.angle);
    if (!static_) {
        cpBodySetVelocity(b, cpv(s.vx, s.vy));
        cpBodySetAngularVelocity(b, s.angularVelocity);
    }
    ReindexIfStatic();
}

float CPBody::GetMass() const {
    return mass_;
}

float CPBody::GetMoment() const {
    return moment_;
}

void CPBody::SetMassAndMoment(float mass, float moment) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr || static_ || kinematic_) {
        return;
    }
    mass_ = mass;
    moment_ = moment;
    cpBodySetMass(b, mass);
    cpBodySetMoment(b, moment);
}

void CPBody::SetStatic(bool isStatic, float mass, float moment) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr || kinematic_) {
        return;
    }
    if (isStatic == static_) {
        SetMassAndMoment(mass, moment);
        return;
    }
    if (isStatic) {
        // The library wakes the body, stops it and moves its shapes to the static index.
        cpBodySetType(b, CP_BODY_TYPE_STATIC);
        static_ = true;
        mass_ = INFINITY;
        moment_ = INFINITY;
        WakeTouching();
        return;
    }
    // Whatever sleeps on it must wake before it moves away, or it would hang in the air.
    WakeTouching();
    // The library sums the shapes' own masses here, which ours leave at zero; the real ones
    // follow at once.
    cpBodySetType(b, CP_BODY_TYPE_DYNAMIC);
    static_ = false;
    SetMassAndMoment(mass, moment);
    cpBodySetVelocity(b, cpvzero);
    cpBodySetAngularVelocity(b, 0.0);
}

void CPBody::WakeTouching() {
    cpBody* b = BodyOf(*this);
    if (b != nullptr && static_ && cpBodyGetSpace(b) != nullptr) {
        cpBodyActivateStatic(b, nullptr);
    }
}

void CPBody::ApplyImpulse(CPVect j, CPVect r) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr || static_) {
        return;
    }
    // A zero impulse changes nothing, but the library would still wake the body and restart
    // its idle time: the player's push, made every frame, would keep it and all it touches
    // from ever sleeping.
    if (j.x == 0.0f && j.y == 0.0f) {
        return;
    }
    // The offset is relative to the centre in world orientation; the library wants the world
    // point of application.
    cpBodyApplyImpulseAtWorldPoint(b, ToCp(j), cpvadd(cpBodyGetPosition(b), ToCp(r)));
}

void CPBody::ResetForces() {
    cpBody* b = BodyOf(*this);
    if (b == nullptr) {
        return;
    }
    // Setting a force, even the zero already there, wakes the body and restarts its idle time;
    // squids and tentacles reset theirs at every step, so only a real change is made.
    if (cpBodyGetForce(b).x != 0.0 || cpBodyGetForce(b).y != 0.0) {
        cpBodySetForce(b, cpvzero);
    }
    if (cpBodyGetTorque(b) != 0.0) {
        cpBodySetTorque(b, 0.0);
    }
}

void CPBody::UpdateVelocity(CPVect gravity, float damping, float dt) {
    cpBody* b = BodyOf(*this);
    if (b == nullptr || static_) {
        return;
    }
    cpBodyUpdateVelocity(b, ToCp(gravity), damping, dt);
}

void CPBody::SetVelocityFunction(CPVelocityFunction fn) {
    velFunction = fn;
    if (cpBody* b = BodyOf(*this)) {
        cpBodySetVelocityUpdateFunc(b, fn ? VelocityTrampoline : cpBodyUpdateVelocity);
    }
}

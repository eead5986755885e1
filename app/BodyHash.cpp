#include "app/BodyHash.hpp"

#include "bodies/BodyClasses.hpp"
#include "bodies/TMachineJoint.hpp"
#include "physics/CPBody.hpp"

#include <cstdio>
#include <cstring>

void BodyHash::addDouble(double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i) {
        value ^= (bits >> (8 * i)) & 0xFFu;
        value *= 1099511628211ull;
    }
}

void BodyHash::Add(const std::shared_ptr<CPBody>& body) {
    if (!body || body->IsFreed()) {
        return;
    }
    const CPExactState s = body->GetExactState();
    if (dump != nullptr) {
        *dump << "body " << bodies;
    }
    for (double d : {s.x, s.y, s.angle, s.vx, s.vy, s.angularVelocity}) {
        addDouble(d);
        if (dump != nullptr) {
            char text[32];
            std::snprintf(text, sizeof text, " %a", d);
            *dump << text;
        }
    }
    if (dump != nullptr) {
        *dump << "\n";
    }
    ++bodies;
}

void BodyHash::Add(const TMachineJoint& joint) {
    if (!joint.IsIntact()) {
        return;
    }
    const TMachineJoint::Params& k = joint._params;
    const double values[] = {static_cast<double>(static_cast<int>(k.kind)),
                             joint._anchorA.x,
                             joint._anchorA.y,
                             joint._anchorB.x,
                             joint._anchorB.y,
                             joint._length,
                             joint._angle,
                             k.motorRate,
                             k.motorTorque,
                             k.motorOn ? 1.0 : 0.0,
                             k.stiffness,
                             k.damping,
                             k.breakForce};
    if (dump != nullptr) {
        *dump << "joint " << joints;
    }
    for (double d : values) {
        addDouble(d);
        if (dump != nullptr) {
            char text[32];
            std::snprintf(text, sizeof text, " %a", d);
            *dump << text;
        }
    }
    if (dump != nullptr) {
        *dump << "\n";
    }
    ++joints;
}

std::string BodyHash::Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

BodyHash BodyHash::OfLiveBodies(std::ostream* dump) {
    BodyHash hash;
    hash.dump = dump;
    for (const BodyClass* body : BodyClasses()) {
        body->forEachBody([](const std::shared_ptr<CPBody>& b,
                             void* context) { static_cast<BodyHash*>(context)->Add(b); },
                          &hash);
    }
    if (TMachineJoint::liveList) {
        for (const std::shared_ptr<TMachineJoint>& joint : *TMachineJoint::liveList) {
            if (joint) {
                hash.Add(*joint);
            }
        }
    }
    return hash;
}

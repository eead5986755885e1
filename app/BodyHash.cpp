#include "app/BodyHash.hpp"

#include "bodies/BodyClasses.hpp"
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
    return hash;
}

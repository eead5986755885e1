#include "app/BodyHash.hpp"

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "physics/CPBody.hpp"

#include <cstdio>
#include <cstring>

namespace {

template <class T, class F> void forEachLive(TList<std::shared_ptr<T>>* list, F f) {
    if (list == nullptr) {
        return;
    }
    auto walk = list->ObjectEnumerator();
    while (walk.HasNext()) {
        const std::shared_ptr<T>& object = walk.NextObject();
        if (object) {
            f(*object);
        }
    }
}

} // namespace

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
    forEachLive(TBall::liveList.get(), [&](TBall& o) { hash.Add(o._body); });
    forEachLive(TCube::liveList.get(), [&](TCube& o) { hash.Add(o._body); });
    forEachLive(TStar::liveList.get(), [&](TStar& o) { hash.Add(o._body); });
    forEachLive(TSquid::liveList.get(), [&](TSquid& o) { hash.Add(o._body); });
    forEachLive(TTentacle::liveList.get(), [&](TTentacle& o) {
        auto walk = o._bodyRect.ObjectEnumerator();
        while (walk.HasNext()) {
            hash.Add(walk.NextObject());
        }
    });
    forEachLive(TChain::liveList.get(), [&](TChain& o) {
        auto walk = o._body.ObjectEnumerator();
        while (walk.HasNext()) {
            hash.Add(walk.NextObject());
        }
    });
    return hash;
}

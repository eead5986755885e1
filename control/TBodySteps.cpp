#include "control/TBodySteps.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/SceneBodies.hpp"
#include "control/TControl.hpp"
#include "physics/CPBody.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;

template <class T> bool inList(TList<std::shared_ptr<CPBody>>& list, const T* part) {
    for (const std::shared_ptr<CPBody>& b : list) {
        if (b.get() == part) {
            return true;
        }
    }
    return false;
}

// The live instance of a one-body class whose body is part.
template <class T> T* ownerIn(const CPBody* part) {
    if (!T::liveList) {
        return nullptr;
    }
    for (const std::shared_ptr<T>& object : *T::liveList) {
        if (object && object->_life != 0 && object->_body.get() == part) {
            return object.get();
        }
    }
    return nullptr;
}

std::vector<const CPBody*> liveStars() {
    std::vector<const CPBody*> stars;
    if (TStar::liveList) {
        for (const std::shared_ptr<TStar>& star : *TStar::liveList) {
            if (star && star->_life != 0) {
                stars.push_back(star->_body.get());
            }
        }
    }
    return stars;
}

void setStates(TList<std::shared_ptr<CPBody>>& bodies, const std::vector<CPExactState>& states) {
    std::size_t i = 0;
    for (const std::shared_ptr<CPBody>& body : bodies) {
        if (body && i < states.size()) {
            body->SetExactState(states[i++]);
        }
    }
}

// Inside (or on the edge of) a convex piece, whatever its winding.
bool insideConvex(const std::vector<CPVect>& piece, CPVect p) {
    int sign = 0;
    for (std::size_t i = 0, j = piece.size() - 1; i < piece.size(); j = i++) {
        const double c = (static_cast<double>(piece[i].x) - piece[j].x) * (p.y - piece[j].y) -
                         (static_cast<double>(piece[i].y) - piece[j].y) * (p.x - piece[j].x);
        const int s = c > 0.0 ? 1 : c < 0.0 ? -1 : 0;
        if (s != 0 && sign != 0 && s != sign) {
            return false;
        }
        sign = s != 0 ? s : sign;
    }
    return !piece.empty();
}

CPExactState movedState(CPExactState s, double dx, double dy) {
    s.x += dx;
    s.y += dy;
    s.vx = s.vy = s.angularVelocity = 0.0;
    return s;
}

} // namespace

void TBodySteps::init(TControl* control) {
    control_ = control;
    serials_.clear();
    jointSerials_.clear();
}

void TBodySteps::Push(std::vector<Change> changes) const {
    if (onStep) {
        onStep(std::move(changes));
    }
}

void TBodySteps::Made(const std::shared_ptr<CPBody>& key) {
    Change c;
    Found made;
    c.serial = SerialOf(key);
    c.after = true;
    if (FindKey(key, made)) {
        Capture(made, c.now);
    }
    Push({std::move(c)});
}

bool TBodySteps::Find(const CPBody* part, Found& found) {
    if (part == nullptr || part->IsFreed()) {
        return false;
    }
    found = {};
    if (TBall* ball = ownerIn<TBall>(part)) {
        found = {Kind::Ball, ball->_body, ball};
    } else if (TCube* cube = ownerIn<TCube>(part)) {
        found = {Kind::Cube, cube->_body, cube};
    } else if (TStar* star = ownerIn<TStar>(part)) {
        found = {Kind::Star, star->_body, star};
    } else if (TDrawn* drawn = ownerIn<TDrawn>(part)) {
        found = {Kind::Drawn, drawn->_body, drawn};
    }
    if (found.owner != nullptr) {
        return true;
    }
    if (TSquid::liveList) {
        for (const std::shared_ptr<TSquid>& squid : *TSquid::liveList) {
            if (!squid || squid->_life == 0 || squid->IsRemoved()) {
                continue;
            }
            if (squid->_body.get() == part ||
                (squid->_tentacle && inList(squid->_tentacle->_bodyRect, part))) {
                found = {Kind::Squid, squid->_body, squid.get()};
                return true;
            }
        }
    }
    if (TChain::liveList) {
        for (const std::shared_ptr<TChain>& chain : *TChain::liveList) {
            if (!chain || chain->_life == 0 || chain->_body.IsEmpty()) {
                continue;
            }
            if (inList(chain->_body, part) || inList(chain->_anchorBody, part)) {
                found = {Kind::Chain, chain->_body.First(), chain.get()};
                return true;
            }
        }
    }
    return false;
}

bool TBodySteps::FindKey(const std::shared_ptr<CPBody>& key, Found& found) {
    return key && Find(key.get(), found) && found.key == key;
}

bool TBodySteps::Capture(const Found& body, SceneFormat::Body& entry) const {
    Found now;
    if (!FindKey(body.key, now)) {
        return false;
    }
    entry = {};
    entry.kind = now.kind;
    switch (now.kind) {
    case Kind::Chain:
        entry = SceneBodies::CaptureChain(*static_cast<TChain*>(now.owner), liveStars());
        break;
    case Kind::Squid:
    case Kind::Player: {
        auto* squid = static_cast<TSquid*>(now.owner);
        if (control_ != nullptr && squid == control_->player.get()) {
            entry.kind = Kind::Player;
        }
        entry.state = squid->_body->GetExactState();
        if (squid->_tentacle) {
            for (const std::shared_ptr<CPBody>& b : squid->_tentacle->_bodyRect) {
                if (b) {
                    entry.parts.push_back(b->GetExactState());
                }
            }
        }
        break;
    }
    case Kind::Drawn: {
        const auto* drawn = static_cast<const TDrawn*>(now.owner);
        entry.state = now.key->GetExactState();
        entry.material = static_cast<int>(drawn->material());
        entry.fixed = drawn->fixed();
        entry.pieces = drawn->Pieces();
        entry.radius = drawn->Radius();
        break;
    }
    default:
        entry.state = now.key->GetExactState();
        break;
    }
    return true;
}

std::shared_ptr<CPBody> TBodySteps::Make(const SceneFormat::Body& entry) {
    if (control_ == nullptr) {
        return nullptr;
    }
    SceneFormat::Body made = entry;
    if (made.kind == Kind::Player) {
        made.kind = Kind::Squid;
    }
    SceneBodies::Applying at{*control_, {}, {}, nullptr, {}};
    for (const CPBody* star : liveStars()) {
        Found f;
        if (Find(star, f)) {
            at.made.push_back(f.key);
        }
    }
    return SceneBodies::ApplyOne(made, at);
}

bool TBodySteps::Remove(const Found& body) {
    Found now;
    if (!FindKey(body.key, now)) {
        return false;
    }
    switch (now.kind) {
    case Kind::Ball:
        static_cast<TBall*>(now.owner)->remove();
        break;
    case Kind::Cube:
        static_cast<TCube*>(now.owner)->remove();
        break;
    case Kind::Star:
        static_cast<TStar*>(now.owner)->remove();
        break;
    case Kind::Squid:
    case Kind::Player: {
        auto* squid = static_cast<TSquid*>(now.owner);
        const std::shared_ptr<TTentacle> tentacle = squid->_tentacle;
        squid->remove();
        // The tentacle would leave with the next frame's pass; a removal taken back in the
        // same frame must not find it still there.
        if (tentacle) {
            tentacle->remove();
        }
        break;
    }
    case Kind::Chain:
        static_cast<TChain*>(now.owner)->remove();
        break;
    case Kind::Drawn: {
        // What rests on a fixed body falls when it goes.
        now.key->WakeTouching();
        static_cast<TDrawn*>(now.owner)->remove();
        break;
    }
    }
    return true;
}

void TBodySteps::Restore(const Found& body, const SceneFormat::Body& entry) {
    Found now;
    if (!FindKey(body.key, now)) {
        return;
    }
    switch (now.kind) {
    case Kind::Chain: {
        auto* chain = static_cast<TChain*>(now.owner);
        setStates(chain->_body, entry.parts);
        break;
    }
    case Kind::Squid:
    case Kind::Player: {
        auto* squid = static_cast<TSquid*>(now.owner);
        squid->_body->SetExactState(entry.state);
        if (squid->_tentacle) {
            setStates(squid->_tentacle->_bodyRect, entry.parts);
        }
        break;
    }
    case Kind::Drawn: {
        auto* drawn = static_cast<TDrawn*>(now.owner);
        const auto material = static_cast<Material>(entry.material);
        if (drawn->material() != material) {
            drawn->setMaterial(material);
        }
        if (drawn->fixed() != entry.fixed) {
            drawn->setFixed(entry.fixed);
        }
        now.key->WakeTouching();
        now.key->SetExactState(entry.state);
        now.key->WakeTouching();
        break;
    }
    default:
        now.key->SetExactState(entry.state);
        break;
    }
}

bool TBodySteps::FindFixedAt(CPVect p, Found& found) {
    if (!TDrawn::liveList) {
        return false;
    }
    // The newest wins: it is drawn on top.
    bool any = false;
    for (const std::shared_ptr<TDrawn>& drawn : *TDrawn::liveList) {
        if (!drawn || drawn->_life == 0 || !drawn->fixed() || !drawn->_body) {
            continue;
        }
        const CPVect local = drawn->_body->WorldToLocal(p);
        bool in = drawn->IsCircle() && std::hypot(local.x, local.y) <= drawn->Radius();
        for (const std::vector<CPVect>& piece : drawn->Pieces()) {
            in = in || insideConvex(piece, local);
        }
        if (in) {
            found = {Kind::Drawn, drawn->_body, drawn.get()};
            any = true;
        }
    }
    return any;
}

void TBodySteps::forEachPartOf(const Found& body, void (*visit)(CPBody&, void*), void* context) {
    Found now;
    if (!FindKey(body.key, now)) {
        return;
    }
    auto each = [&](TList<std::shared_ptr<CPBody>>& list) {
        for (const std::shared_ptr<CPBody>& b : list) {
            if (b && !b->IsFreed()) {
                visit(*b, context);
            }
        }
    };
    switch (now.kind) {
    case Kind::Chain: {
        auto* chain = static_cast<TChain*>(now.owner);
        each(chain->_body);
        break;
    }
    case Kind::Squid:
    case Kind::Player: {
        auto* squid = static_cast<TSquid*>(now.owner);
        visit(*squid->_body, context);
        if (squid->_tentacle) {
            each(squid->_tentacle->_bodyRect);
        }
        break;
    }
    default:
        visit(*now.key, context);
        break;
    }
}

void TBodySteps::Turn(const Found& body, float degrees) {
    const CPVect c = body.key->GetPosition();
    const double r = static_cast<double>(degrees) * std::numbers::pi / 180.0;
    const double cs = std::cos(r), sn = std::sin(r);
    ForEachPart(body, [&](CPBody& b) {
        CPExactState s = b.GetExactState();
        const double dx = s.x - static_cast<double>(c.x), dy = s.y - static_cast<double>(c.y);
        s.x = static_cast<double>(c.x) + dx * cs - dy * sn;
        s.y = static_cast<double>(c.y) + dx * sn + dy * cs;
        s.angle += r;
        b.SetExactState(s);
    });
}

SceneFormat::Body TBodySteps::MovedTo(const SceneFormat::Body& entry, CPVect p) {
    SceneFormat::Body out = entry;
    const CPExactState& key =
        entry.kind == Kind::Chain && !entry.parts.empty() ? entry.parts.front() : entry.state;
    const double dx = static_cast<double>(p.x) - key.x, dy = static_cast<double>(p.y) - key.y;
    out.state = movedState(out.state, dx, dy);
    for (CPExactState& s : out.parts) {
        s = movedState(s, dx, dy);
    }
    for (Anchor* end : {&out.start, &out.end}) {
        if (end->type == Anchor::Type::Fixed || end->type == Anchor::Type::Free) {
            end->state = movedState(end->state, dx, dy);
        }
    }
    return out;
}

unsigned TBodySteps::SerialOf(const std::shared_ptr<CPBody>& key) {
    for (const auto& [serial, body] : serials_) {
        if (body.lock() == key) {
            return serial;
        }
    }
    const unsigned serial = next_++;
    remember(serial, key);
    return serial;
}

bool TBodySteps::Live(unsigned serial, Found& found) const {
    for (const auto& [s, body] : serials_) {
        if (s == serial) {
            return FindKey(body.lock(), found);
        }
    }
    return false;
}

void TBodySteps::remember(unsigned serial, const std::shared_ptr<CPBody>& key) {
    // Entries of bodies gone for good are dropped on the way: the list stays as long as the
    // bodies the history can still reach.
    std::erase_if(serials_, [&](const auto& e) { return e.first == serial || e.second.expired(); });
    serials_.emplace_back(serial, key);
}

bool TBodySteps::Apply(const std::vector<Change>& changes, bool undoing) {
    bool whole = true;
    auto one = [&](const Change& change) {
        if (change.joint) {
            whole = applyJoint(change, undoing) && whole;
            return;
        }
        const bool wanted = undoing ? change.before : change.after;
        const SceneFormat::Body& entry = undoing ? change.was : change.now;
        Found live;
        const bool there = Live(change.serial, live);
        if (!wanted) {
            whole = (there && Remove(live)) && whole;
        } else if (there) {
            Restore(live, entry);
        } else if (std::shared_ptr<CPBody> key = Make(entry)) {
            remember(change.serial, key);
        } else {
            whole = false;
        }
    };
    if (undoing) {
        std::for_each(changes.rbegin(), changes.rend(), one);
    } else {
        std::for_each(changes.begin(), changes.end(), one);
    }
    return whole;
}

std::vector<std::shared_ptr<CPBody>> TBodySteps::parts(const Found& body) {
    std::vector<std::shared_ptr<CPBody>> all;
    Found now;
    if (!FindKey(body.key, now)) {
        return all;
    }
    auto add = [&all](TList<std::shared_ptr<CPBody>>& list) {
        for (const std::shared_ptr<CPBody>& b : list) {
            all.push_back(b);
        }
    };
    switch (now.kind) {
    case Kind::Chain: {
        // A chain's own anchors after its links: a joint may hold a free anchor too.
        auto* chain = static_cast<TChain*>(now.owner);
        add(chain->_body);
        add(chain->_anchorBody);
        break;
    }
    case Kind::Squid:
    case Kind::Player: {
        auto* squid = static_cast<TSquid*>(now.owner);
        all.push_back(squid->_body);
        if (squid->_tentacle) {
            add(squid->_tentacle->_bodyRect);
        }
        break;
    }
    default:
        all.push_back(now.key);
        break;
    }
    return all;
}

int TBodySteps::PartOf(const Found& body, const CPBody* part) {
    const std::vector<std::shared_ptr<CPBody>> all = parts(body);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] && all[i].get() == part && !part->IsFreed()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::shared_ptr<CPBody> TBodySteps::PartAt(const Found& body, int index) {
    const std::vector<std::shared_ptr<CPBody>> all = parts(body);
    if (index < 0 || static_cast<std::size_t>(index) >= all.size()) {
        return nullptr;
    }
    const std::shared_ptr<CPBody>& b = all[static_cast<std::size_t>(index)];
    return b && !b->IsFreed() ? b : nullptr;
}

bool TBodySteps::captureEnd(const std::shared_ptr<CPBody>& body, CPVect anchor, JointEnd& end) {
    end = {};
    end.anchor = anchor;
    const TLevel* level = control_ != nullptr ? control_->level.get() : nullptr;
    const TLayer* layer = level != nullptr ? level->_FGLayer.get() : TMachineJoint::layer.get();
    if (layer != nullptr && body == layer->staticBodyMap) {
        return true; // serial 0: the level
    }
    Found found;
    if (!body || !Find(body.get(), found)) {
        return false;
    }
    end.part = PartOf(found, body.get());
    end.serial = SerialOf(found.key);
    return end.part >= 0;
}

std::shared_ptr<CPBody> TBodySteps::endBody(const JointEnd& end) const {
    if (end.serial == 0) {
        const TLevel* level = control_ != nullptr ? control_->level.get() : nullptr;
        const TLayer* layer = level != nullptr ? level->_FGLayer.get() : TMachineJoint::layer.get();
        return layer != nullptr ? layer->staticBodyMap : nullptr;
    }
    Found found;
    return Live(end.serial, found) ? PartAt(found, end.part) : nullptr;
}

bool TBodySteps::CaptureJoint(const TMachineJoint& joint, JointEntry& entry) {
    if (!joint.IsIntact()) {
        return false;
    }
    entry = {};
    entry.params = joint._params;
    entry.length = joint._length;
    entry.angle = joint._angle;
    return captureEnd(joint._bodyA, joint._anchorA, entry.a) &&
           captureEnd(joint._bodyB, joint._anchorB, entry.b);
}

std::shared_ptr<TMachineJoint> TBodySteps::MakeJoint(const JointEntry& entry) {
    const TLevel* level = control_ != nullptr ? control_->level.get() : nullptr;
    const std::shared_ptr<TLayer> layer =
        level != nullptr && level->_FGLayer ? level->_FGLayer : TMachineJoint::layer;
    const std::shared_ptr<CPBody> a = endBody(entry.a), b = endBody(entry.b);
    if (!layer || !a || !b) {
        return nullptr;
    }
    auto joint = TMachineJoint::Create();
    joint->Init(layer, a, b, entry.a.anchor, entry.b.anchor, entry.length, entry.angle,
                entry.params);
    if (!joint->IsIntact()) {
        joint->remove();
        return nullptr;
    }
    return joint;
}

void TBodySteps::JointMade(const std::shared_ptr<TMachineJoint>& joint) {
    Change c;
    c.joint = true;
    c.after = true;
    if (!joint || !CaptureJoint(*joint, c.jointNow)) {
        return;
    }
    c.serial = JointSerialOf(joint);
    Push({std::move(c)});
}

unsigned TBodySteps::JointSerialOf(const std::shared_ptr<TMachineJoint>& joint) {
    for (const auto& [serial, j] : jointSerials_) {
        if (j.lock() == joint) {
            return serial;
        }
    }
    const unsigned serial = next_++;
    rememberJoint(serial, joint);
    return serial;
}

std::shared_ptr<TMachineJoint> TBodySteps::LiveJoint(unsigned serial) const {
    for (const auto& [s, j] : jointSerials_) {
        if (s == serial) {
            std::shared_ptr<TMachineJoint> joint = j.lock();
            return joint && joint->_life != 0 && joint->IsIntact() ? joint : nullptr;
        }
    }
    return nullptr;
}

void TBodySteps::rememberJoint(unsigned serial, const std::shared_ptr<TMachineJoint>& joint) {
    std::erase_if(jointSerials_,
                  [&](const auto& e) { return e.first == serial || e.second.expired(); });
    jointSerials_.emplace_back(serial, joint);
}

bool TBodySteps::RemoveJoint(const std::shared_ptr<TMachineJoint>& joint, Change& change) {
    change = {};
    change.joint = true;
    change.before = true;
    if (!joint || joint->_life == 0 || !CaptureJoint(*joint, change.jointWas)) {
        return false;
    }
    change.serial = JointSerialOf(joint);
    joint->remove();
    return true;
}

std::vector<TBodySteps::Change> TBodySteps::RemoveJointsOn(const Found& body) {
    std::vector<Change> changes;
    if (!TMachineJoint::liveList) {
        return changes;
    }
    const std::vector<std::shared_ptr<CPBody>> all = parts(body);
    auto ofBody = [&all](const std::shared_ptr<CPBody>& b) {
        return std::find(all.begin(), all.end(), b) != all.end();
    };
    std::vector<std::shared_ptr<TMachineJoint>> on;
    for (const std::shared_ptr<TMachineJoint>& joint : *TMachineJoint::liveList) {
        if (joint && joint->_life != 0 && joint->IsIntact() &&
            (ofBody(joint->_bodyA) || ofBody(joint->_bodyB))) {
            on.push_back(joint);
        }
    }
    for (const std::shared_ptr<TMachineJoint>& joint : on) {
        Change c;
        if (RemoveJoint(joint, c)) {
            changes.push_back(std::move(c));
        }
    }
    return changes;
}

bool TBodySteps::applyJoint(const Change& change, bool undoing) {
    const bool wanted = undoing ? change.before : change.after;
    const JointEntry& entry = undoing ? change.jointWas : change.jointNow;
    const std::shared_ptr<TMachineJoint> live = LiveJoint(change.serial);
    if (!wanted) {
        if (!live) {
            return false;
        }
        live->remove();
        return true;
    }
    if (live) {
        live->Change(entry.params);
        return live->IsIntact();
    }
    const std::shared_ptr<TMachineJoint> made = MakeJoint(entry);
    if (!made) {
        return false;
    }
    rememberJoint(change.serial, made);
    return true;
}

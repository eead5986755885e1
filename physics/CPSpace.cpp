#include "physics/CPSpace.hpp"

#include <algorithm>
#include <cmath>

#include "physics/CPBody.hpp"
#include "physics/CPJoint.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpaceHash.hpp"
#include "physics/ChipmunkGlue.hpp"
#include "physics/ChipmunkInternals.hpp"
#include "physics/QuietSpace.hpp"

namespace {

cpSpace* SpaceOf(const CPObject& o) {
    return static_cast<cpSpace*>(o.GetHandle());
}

// Installed as the begin handler of a pair registered without a function: the contact is
// dropped before the solver sees it, for as long as the two shapes touch.
cpBool RejectContact(cpArbiter*, cpSpace*, cpDataPointer) {
    return cpFalse;
}

} // namespace

std::shared_ptr<CPSpace> CPSpace::Create() {
    std::shared_ptr<CPSpace> space(new CPSpace());
    cpSpace* handle = NewQuietSpace();
    cpSpaceSetUserData(handle, space.get());
    space->cpObjectPtr = handle;
    return space;
}

CPSpace::~CPSpace() {
    cpSpace* handle = SpaceOf(*this);
    if (handle == nullptr) {
        return;
    }
    // Taking members out one at a time makes the library walk its whole table of remembered
    // contacts for every shape: quadratic in a pile, minutes for a few hundred chains at one
    // spot. The library space goes first, whole (it needs its bodies alive to wake the
    // sleepers it frees); the members are then freed without being taken out of it. The
    // wake-up would still visit every contact of every body, as many as pairs of bodies in a
    // heap at one spot: the bodies let go of their contact lists first.
    // A sleeping body holds copies of its contacts, freed only by waking it. The library's own
    // wake-up at freeing misses every other sleeping group (it wakes them while walking the
    // list of groups that waking shortens), and their copies would leak: every sleeper is woken
    // here first, while the space is unlocked and the wake-up is immediate.
    WakeAll();
    for (List list : {Bodies, HiddenBodies}) {
        for (const auto& member : lists_[list]) {
            auto* body = static_cast<cpBody*>(member->GetHandle());
            if (body != nullptr) {
                DropContactList(body);
            }
        }
    }
    cpSpaceFree(handle);
    cpObjectPtr = nullptr;
    closing_ = true;
    for (auto* view : {activeShapes.get(), staticShapes.get()}) {
        if (view != nullptr) {
            view->space_ = nullptr;
            view->cpObjectPtr = nullptr;
        }
    }
    // Joints go first (they refer to bodies), then shapes, then bodies; each Release also takes
    // the object out of its list here.
    for (List list : {Joints, ActiveShapes, StaticShapes, Bodies, HiddenBodies}) {
        auto& members = lists_[list];
        while (!members.empty()) {
            std::shared_ptr<CPObject> member = members.back();
            member->Release();
            if (!members.empty() && members.back() == member) {
                Unlist(*member); // a member whose library object was already gone
            }
        }
    }
}

namespace {
std::uint64_t contactsWalked = 0;
} // namespace

std::uint64_t CPSpace::ContactsWalkedByRemovals() {
    return contactsWalked;
}

bool CPSpace::TakenOutOneByOne(const CPObject& object) {
    return object.listedIn_ == nullptr || !object.listedIn_->closing_;
}

void CPSpace::NoteShapeRemoval(int contactsRemembered) {
    contactsWalked += static_cast<std::uint64_t>(contactsRemembered);
}

void CPSpace::Enlist(const std::shared_ptr<CPObject>& object, List list) {
    auto& members = lists_[list];
    object->listedIn_ = this;
    object->listKind_ = list;
    object->slot_ = static_cast<int>(members.size());
    members.push_back(object);
}

void CPSpace::Unlist(CPObject& object) {
    CPSpace* space = object.listedIn_;
    if (space == nullptr) {
        return;
    }
    // Swap-remove keeps removal O(1); the order of a set carries no meaning.
    auto& members = space->lists_[object.listKind_];
    const auto slot = static_cast<std::size_t>(object.slot_);
    std::shared_ptr<CPObject> keep = std::move(members[slot]);
    if (slot + 1 != members.size()) {
        members[slot] = std::move(members.back());
        members[slot]->slot_ = static_cast<int>(slot);
    }
    members.pop_back();
    object.listedIn_ = nullptr;
    object.listKind_ = -1;
    object.slot_ = -1;
    // keep may hold the last reference: it is released only after the bookkeeping is done.
}

void CPSpace::AdoptStaticBody(CPBody& body) {
    // Bodies of infinite mass are library-static bodies that the program never adds (the
    // level's body, fixed anchors). They are put into the space behind the scenes when their
    // first shape or joint arrives, so the library's invariants hold; they are not counted.
    if (!body.static_ || body.IsFreed() || body.listedIn_ != nullptr) {
        return;
    }
    auto* handle = static_cast<cpBody*>(body.cpObjectPtr);
    if (cpBodyGetSpace(handle) != nullptr) {
        return; // already lives in another space: the library copes with that too
    }
    cpSpaceAddBody(SpaceOf(*this), handle);
    Enlist(body.shared_from_this(), HiddenBodies);
}

void CPSpace::SetGravity(CPVect g) {
    cpSpaceSetGravity(SpaceOf(*this), ToCp(g));
}

CPVect CPSpace::GetGravity() const {
    return FromCp(cpSpaceGetGravity(SpaceOf(*this)));
}

void CPSpace::ResizeStaticHash(float cell, int count) {
    // This library keeps one kind of index for both shape sets, and switching rebuilds both
    // from the shapes present. The level sizes both alike, so the second call is skipped.
    if (cell == hashCell_ && count == hashCount_ && broadPhase_ == BroadPhase::Hash) {
        return;
    }
    hashCell_ = cell;
    hashCount_ = count;
    broadPhase_ = BroadPhase::Hash;
    cpSpaceUseSpatialHash(SpaceOf(*this), cell, count);
}

void CPSpace::UseBroadPhase(BroadPhase phase) {
    if (phase == broadPhase_) {
        return;
    }
    if (phase == BroadPhase::Tree) {
        broadPhase_ = phase;
        UseBoundingBoxTrees(SpaceOf(*this));
    } else if (hashCount_ > 0) {
        ResizeStaticHash(hashCell_, hashCount_);
    }
}

void CPSpace::ResizeActiveHash(float cell, int count) {
    ResizeStaticHash(cell, count);
}

void CPSpace::SetIterations(int n) {
    cpSpaceSetIterations(SpaceOf(*this), n);
}

int CPSpace::GetIterations() const {
    return cpSpaceGetIterations(SpaceOf(*this));
}

void CPSpace::SetSleepTime(float seconds) {
    cpSpaceSetSleepTimeThreshold(SpaceOf(*this), seconds);
}

float CPSpace::GetSleepTime() const {
    return static_cast<float>(cpSpaceGetSleepTimeThreshold(SpaceOf(*this)));
}

void CPSpace::SetIdleSpeed(float pixelsPerSecond) {
    cpSpaceSetIdleSpeedThreshold(SpaceOf(*this), pixelsPerSecond);
}

namespace {
// A sleeping body's shapes sit in the library's static index, so the box query finds them; a
// set keeps each body counted once however many of its shapes overlap.
void WakeOne(cpShape* shape, void* data) {
    cpBody* body = cpShapeGetBody(shape);
    if (cpBodyGetType(body) == CP_BODY_TYPE_DYNAMIC && cpBodyIsSleeping(body)) {
        cpBodyActivate(body);
        ++*static_cast<int*>(data);
    }
}
} // namespace

int CPSpace::WakeBodiesTouching(CPVect min, CPVect max) {
    int woken = 0;
    cpSpaceBBQuery(SpaceOf(*this), cpBBNew(min.x, min.y, max.x, max.y), CP_SHAPE_FILTER_ALL,
                   WakeOne, &woken);
    return woken;
}

int CPSpace::CountSleepingBodies() const {
    int sleeping = 0;
    for (const auto& object : lists_[Bodies]) {
        auto* body = static_cast<cpBody*>(object->GetHandle());
        if (body != nullptr && cpBodyIsSleeping(body))
            ++sleeping;
    }
    return sleeping;
}

void CPSpace::WakeAll() {
    // Through the program's own list: waking a group changes the library's lists while they
    // would be walked.
    for (const auto& object : lists_[Bodies]) {
        auto* body = static_cast<cpBody*>(object->GetHandle());
        if (body != nullptr && cpBodyIsSleeping(body))
            cpBodyActivate(body);
    }
}

void CPSpace::AddCollisionPairFunc(int a, int b, std::nullptr_t) {
    // The library finds a handler for (a, b) and (b, a) alike and hands back the existing one
    // when the pair is registered again.
    cpCollisionHandler* handler = cpSpaceAddCollisionHandler(
        SpaceOf(*this), static_cast<cpCollisionType>(a), static_cast<cpCollisionType>(b));
    handler->beginFunc = RejectContact;
}

void CPSpace::DoStep(float dt) {
    cpSpaceStep(SpaceOf(*this), dt);
    ++stepsTaken_;
    // The library hands a new contact the memory of the last one freed, so a pile that many
    // bodies came and went through has its contacts scattered over the heap, and the solver,
    // which visits each of them ten times a step, waits on memory: up to a fifth of the step at
    // a thousand bodies. A second of steps apart, they are put back in the solver's order.
    if (stepsTaken_ % kTidyEvery == 0) {
        if (!contactLayout_) {
            contactLayout_ = std::make_shared<ContactLayoutScratch>();
        }
        LayOutContactsInSolverOrder(SpaceOf(*this), *contactLayout_);
    }
}

std::size_t CPSpace::TidyScratchBytes() const {
    return contactLayout_ ? contactLayout_->CapacityBytes() : 0;
}

void CPSpace::AddBody(const std::shared_ptr<CPBody>& body) {
    if (!body || body->IsFreed()) {
        return;
    }
    if (body->listedIn_ == this && body->listKind_ == HiddenBodies) {
        Unlist(*body); // already in the library space; now counted as the program's
    } else if (body->listedIn_ != nullptr) {
        return; // added before: the library refuses a second add
    } else {
        cpSpaceAddBody(SpaceOf(*this), static_cast<cpBody*>(body->cpObjectPtr));
    }
    body->parent = std::static_pointer_cast<CPSpace>(shared_from_this());
    Enlist(body, Bodies);
}

void CPSpace::AddShape(const std::shared_ptr<CPShape>& shape) {
    if (!shape || shape->IsFreed() || shape->listedIn_ != nullptr) {
        return;
    }
    AdoptStaticBody(*shape->body_);
    cpSpaceAddShape(SpaceOf(*this), static_cast<cpShape*>(shape->cpObjectPtr));
    shape->parent = std::static_pointer_cast<CPSpace>(shared_from_this());
    Enlist(shape, ActiveShapes);
}

void CPSpace::AddStaticShape(const std::shared_ptr<CPShape>& shape) {
    if (!shape || shape->IsFreed() || shape->listedIn_ != nullptr) {
        return;
    }
    AdoptStaticBody(*shape->body_);
    cpSpaceAddShape(SpaceOf(*this), static_cast<cpShape*>(shape->cpObjectPtr));
    shape->parent = std::static_pointer_cast<CPSpace>(shared_from_this());
    shape->staticFlag_ = 1;
    Enlist(shape, StaticShapes);
}

void CPSpace::AddJoint(const std::shared_ptr<CPJoint>& joint) {
    if (!joint || joint->IsFreed() || joint->listedIn_ != nullptr) {
        return;
    }
    AdoptStaticBody(*joint->a_);
    AdoptStaticBody(*joint->b_);
    cpSpaceAddConstraint(SpaceOf(*this), static_cast<cpConstraint*>(joint->cpObjectPtr));
    joint->parent = std::static_pointer_cast<CPSpace>(shared_from_this());
    Enlist(joint, Joints);
}

namespace {
struct NearestQuery {
    cpShape* shape = nullptr;
    cpFloat distance = INFINITY;
    cpVect point = cpvzero;
};

void KeepNearestMovable(cpShape* shape, cpVect point, cpFloat distance, cpVect /*gradient*/,
                        void* data) {
    auto& best = *static_cast<NearestQuery*>(data);
    if (cpBodyGetType(cpShapeGetBody(shape)) != CP_BODY_TYPE_DYNAMIC || distance >= best.distance) {
        return;
    }
    best = {shape, distance, point};
}
} // namespace

std::shared_ptr<CPShape> CPSpace::NearestMovableShape(CPVect p, float maxDistance,
                                                      CPVect& nearestPoint) {
    // The library's own nearest query would stop at the level's segments, which lie under
    // almost everything; walking every shape in range lets the fixed ones be passed over.
    NearestQuery best;
    cpSpacePointQuery(SpaceOf(*this), ToCp(p), maxDistance, CP_SHAPE_FILTER_ALL,
                      &KeepNearestMovable, &best);
    if (best.shape == nullptr) {
        return nullptr;
    }
    nearestPoint = best.distance > 0.0 ? FromCp(best.point) : p;
    auto* wrapper = static_cast<CPShape*>(cpShapeGetUserData(best.shape));
    return std::static_pointer_cast<CPShape>(wrapper->shared_from_this());
}

namespace {
struct BodyAt {
    cpBody* body;
    cpHashValue added;
};

void NoteBodyAt(cpShape* shape, cpVect /*point*/, cpFloat /*distance*/, cpVect /*gradient*/,
                void* data) {
    cpBody* body = cpShapeGetBody(shape);
    if (cpBodyGetType(body) != CP_BODY_TYPE_DYNAMIC) {
        return;
    }
    auto& found = *static_cast<std::vector<BodyAt>*>(data);
    const cpHashValue added = ShapeAddedNumber(shape);
    for (BodyAt& known : found) {
        if (known.body == body) {
            known.added = std::max(known.added, added);
            return;
        }
    }
    found.push_back({body, added});
}
} // namespace

int CPSpace::MovableBodiesAt(CPVect p, std::span<std::shared_ptr<CPBody>> out) {
    // Asked once per click of a tool, never per frame: the short list may allocate.
    std::vector<BodyAt> found;
    cpSpacePointQuery(SpaceOf(*this), ToCp(p), 0.0, CP_SHAPE_FILTER_ALL, &NoteBodyAt, &found);
    std::sort(found.begin(), found.end(),
              [](const BodyAt& a, const BodyAt& b) { return a.added > b.added; });
    const std::size_t n = std::min(found.size(), out.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto* wrapper = static_cast<CPBody*>(cpBodyGetUserData(found[i].body));
        out[i] = std::static_pointer_cast<CPBody>(wrapper->shared_from_this());
    }
    return static_cast<int>(n);
}

namespace {
void NoteMovable(cpShape* shape, cpContactPointSet* /*points*/, void* data) {
    if (cpBodyGetType(cpShapeGetBody(shape)) == CP_BODY_TYPE_DYNAMIC) {
        *static_cast<bool*>(data) = true;
    }
}
} // namespace

bool CPSpace::MovableShapeInBox(CPVect min, CPVect max) {
    // The library's own shape query tests the true outlines, not only their bounding boxes: a
    // ball near a box's corner is not taken for one inside it. The box needs no body; it is
    // placed once, at the identity transform, before the query.
    cpShape* box = cpBoxShapeNew2(nullptr, cpBBNew(min.x, min.y, max.x, max.y), 0.0);
    cpShapeUpdate(box, cpTransformIdentity);
    bool found = false;
    cpSpaceShapeQuery(SpaceOf(*this), box, &NoteMovable, &found);
    cpShapeFree(box);
    return found;
}

void CPSpace::FreeMovables() {
    cpSpace* space = SpaceOf(*this);
    if (space == nullptr) {
        return;
    }
    // Taking a shape out of the space makes the library walk its whole table of remembered
    // contacts for that shape, and the table keeps the size of the largest pile ever: one walk
    // per shape makes clearing a pile quadratic. So the contacts are forgotten first, all at
    // once.
    ForgetAllContacts(space);
    auto& active = lists_[ActiveShapes];

    // The library keeps joints and bodies in arrays that it searches from the front and
    // shrinks by moving the last element into the gap, exactly as the lists here do: freeing
    // from the front finds every object at once.
    auto freeFront = [](std::vector<std::shared_ptr<CPObject>>& members) {
        while (!members.empty()) {
            std::shared_ptr<CPObject> member = members.front();
            member->Release();
            if (!members.empty() && members.front() == member) {
                Unlist(*member); // its library object was already gone
            }
        }
    };
    freeFront(lists_[Joints]);
    freeFront(active);
    freeFront(lists_[Bodies]);
    // Hidden static bodies that held only movable things (fixed chain anchors) go too; the
    // level's body keeps its static shapes.
    auto& hidden = lists_[HiddenBodies];
    for (std::size_t i = 0; i < hidden.size();) {
        auto& body = static_cast<CPBody&>(*hidden[i]);
        if (body.shapes_.empty() && body.joints_.empty()) {
            body.Free();
        } else {
            ++i;
        }
    }
}

std::shared_ptr<CPSpaceHash> CPSpace::GetActiveShapes() {
    if (!activeShapes) {
        activeShapes.reset(new CPSpaceHash(this, ActiveShapes));
    }
    return activeShapes;
}

std::shared_ptr<CPSpaceHash> CPSpace::GetStaticShapes() {
    if (!staticShapes) {
        staticShapes.reset(new CPSpaceHash(this, StaticShapes));
    }
    return staticShapes;
}

int CPSpace::CountBodies() const {
    return static_cast<int>(lists_[Bodies].size());
}
int CPSpace::CountJoints() const {
    return static_cast<int>(lists_[Joints].size());
}
int CPSpace::CountActiveShapes() const {
    return static_cast<int>(lists_[ActiveShapes].size());
}
int CPSpace::CountStaticShapes() const {
    return static_cast<int>(lists_[StaticShapes].size());
}

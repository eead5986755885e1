#include "physics/ChipmunkInternals.hpp"

// The library's private header, shipped for extensions, without the C linkage its public
// headers declare. It brings the structures' layouts, which change between releases without
// notice: the code below was written against 7.0.3 and is checked again before the version
// here is changed.
extern "C" {
#include <chipmunk/chipmunk_private.h>
}

#include <algorithm>
#include <cstring>

static_assert(CP_VERSION_MAJOR == 7 && CP_VERSION_MINOR == 0 && CP_VERSION_RELEASE == 3,
              "ChipmunkInternals.cpp reads Chipmunk 7.0.3's private structures (the space's "
              "contact table, a circle's world centre); check them against this version first");

namespace {

// The library's equality of its contact table: a contact is found by its pair of shapes, in
// either order.
cpBool SameShapePair(const void* pair, const void* element) {
    const auto* shapes = static_cast<const cpShape* const*>(pair);
    const auto* arbiter = static_cast<const cpArbiter*>(element);
    return (shapes[0] == arbiter->a && shapes[1] == arbiter->b) ||
           (shapes[1] == arbiter->a && shapes[0] == arbiter->b);
}

} // namespace

void ForgetAllContacts(cpSpace* space) {
    cpArray* current = space->arbiters;
    for (int i = 0; i < current->num; ++i) {
        cpArbiterUnthread(static_cast<cpArbiter*>(current->arr[i]));
    }
    current->num = 0;
    cpHashSetEach(
        space->cachedArbiters,
        [](void* element, void* pool) {
            auto* arbiter = static_cast<cpArbiter*>(element);
            arbiter->contacts = nullptr;
            arbiter->count = 0;
            cpArrayPush(static_cast<cpArray*>(pool), arbiter);
        },
        space->pooledArbiters);
    cpHashSetFree(space->cachedArbiters);
    space->cachedArbiters = cpHashSetNew(0, &SameShapePair);
}

void DropContactList(cpBody* body) {
    body->arbiterList = nullptr;
}

int RememberedContacts(cpSpace* space) {
    return cpHashSetCount(space->cachedArbiters);
}

cpVect CircleWorldCenter(const cpShape* circle) {
    return reinterpret_cast<const cpCircleShape*>(circle)->tc;
}

cpHashValue ShapeAddedNumber(const cpShape* shape) {
    return shape->hashid;
}

void SetVelocityQuietly(cpBody* body, cpVect v) {
    body->v = v;
}

namespace {
// The tree moves a shape's box ahead by its body's velocity, as the library's own space does.
cpVect ShapeVelocity(void* shape) {
    return static_cast<cpShape*>(shape)->body->v;
}
void FileShape(void* shape, void* index) {
    auto* s = static_cast<cpShape*>(shape);
    cpSpatialIndexInsert(static_cast<cpSpatialIndex*>(index), s, s->hashid);
}
cpBB ShapeBB(void* shape) {
    return cpShapeGetBB(static_cast<cpShape*>(shape));
}
} // namespace

void UseBoundingBoxTrees(cpSpace* space) {
    cpSpatialIndex* staticShapes = cpBBTreeNew(ShapeBB, nullptr);
    cpSpatialIndex* dynamicShapes = cpBBTreeNew(ShapeBB, staticShapes);
    cpBBTreeSetVelocityFunc(dynamicShapes, ShapeVelocity);
    cpSpatialIndexEach(space->staticShapes, FileShape, staticShapes);
    cpSpatialIndexEach(space->dynamicShapes, FileShape, dynamicShapes);
    cpSpatialIndexFree(space->staticShapes);
    cpSpatialIndexFree(space->dynamicShapes);
    space->staticShapes = staticShapes;
    space->dynamicShapes = dynamicShapes;
}

namespace {

// The layout of the library's hash set (cpHashSet.c keeps it to itself): the contact table's
// entries are reached through its bins.
struct HashSetBin {
    void* elt;
    cpHashValue hash;
    HashSetBin* next;
};
struct HashSetLayout {
    unsigned int entries, size;
    cpHashSetEqlFunc eql;
    void* defaultValue;
    HashSetBin** table;
    HashSetBin* pooledBins;
    cpArray* allocatedBuffers;
};

// The entry of a contact that moves (end() for one that stays; some move onto themselves).
std::vector<std::pair<cpArbiter*, cpArbiter*>>::const_iterator
Entry(const ContactLayoutScratch& scratch, cpArbiter* old) {
    auto it = std::lower_bound(scratch.to.begin(), scratch.to.end(), old,
                               [](const std::pair<cpArbiter*, cpArbiter*>& entry, cpArbiter* a) {
                                   return entry.first < a;
                               });
    return it != scratch.to.end() && it->first == old ? it : scratch.to.end();
}

// Where a contact lies after the move (itself when it does not move).
cpArbiter* NewPlace(const ContactLayoutScratch& scratch, cpArbiter* old) {
    auto it = Entry(scratch, old);
    return it != scratch.to.end() ? it->second : old;
}

// Each pointer is mapped exactly once: a new address may be another contact's old one.
void RemapThreads(const ContactLayoutScratch& scratch, cpArbiter* arb) {
    for (cpArbiterThread* thread : {&arb->thread_a, &arb->thread_b}) {
        thread->next = NewPlace(scratch, thread->next);
        thread->prev = NewPlace(scratch, thread->prev);
    }
}

bool Awake(const cpArbiter* arb) {
    return !cpBodyIsSleeping(arb->body_a) && !cpBodyIsSleeping(arb->body_b);
}

} // namespace

std::size_t ContactLayoutScratch::CapacityBytes() const {
    return (moving.capacity() + slots.capacity() + staying.capacity()) * sizeof(cpArbiter*) +
           to.capacity() * sizeof(to[0]) + values.capacity() + bodies.capacity() * sizeof(cpBody*);
}

void LayOutContactsInSolverOrder(cpSpace* space, ContactLayoutScratch& scratch) {
    auto& moving = scratch.moving;
    auto& slots = scratch.slots;
    auto& staying = scratch.staying;
    auto& bodies = scratch.bodies;
    moving.clear();
    slots.clear();
    staying.clear();
    bodies.clear();
    scratch.to.clear();
    // The solver's order first, then the remembered contacts it does not visit this step.
    cpArray* solved = space->arbiters;
    for (int i = 0; i < solved->num; ++i) {
        auto* arb = static_cast<cpArbiter*>(solved->arr[i]);
        if (Awake(arb)) {
            moving.push_back(arb);
        }
    }
    slots = moving;
    std::sort(slots.begin(), slots.end());
    cpHashSetEach(
        space->cachedArbiters,
        [](void* element, void* data) {
            auto* arb = static_cast<cpArbiter*>(element);
            auto& s = *static_cast<ContactLayoutScratch*>(data);
            if (Awake(arb) && !std::binary_search(s.slots.begin(), s.slots.end(), arb)) {
                s.staying.push_back(arb);
            }
        },
        &scratch);
    moving.insert(moving.end(), staying.begin(), staying.end());
    staying.clear();
    // The free contacts' memory and the moving ones' own, lowest addresses first.
    slots = moving;
    cpArray* pool = space->pooledArbiters;
    for (int i = 0; i < pool->num; ++i) {
        slots.push_back(static_cast<cpArbiter*>(pool->arr[i]));
    }
    std::sort(slots.begin(), slots.end());
    for (std::size_t i = 0; i < moving.size(); ++i) {
        scratch.to.emplace_back(moving[i], slots[i]);
    }
    std::sort(scratch.to.begin(), scratch.to.end());

    // Every body's list of contacts, and the contacts on them that stay (those of sleeping
    // bodies, which a static body's list holds beside awake ones).
    cpSpaceEachBody(
        space,
        [](cpBody* body, void* data) { static_cast<std::vector<cpBody*>*>(data)->push_back(body); },
        &bodies);
    bodies.push_back(space->staticBody);
    for (cpArbiter* arb : moving) {
        bodies.push_back(arb->body_a);
        bodies.push_back(arb->body_b);
    }
    std::sort(bodies.begin(), bodies.end());
    bodies.erase(std::unique(bodies.begin(), bodies.end()), bodies.end());
    for (cpBody* body : bodies) {
        CP_BODY_FOREACH_ARBITER(body, arb) {
            if (Entry(scratch, arb) == scratch.to.end()) {
                staying.push_back(arb);
            }
        }
    }
    std::sort(staying.begin(), staying.end());
    staying.erase(std::unique(staying.begin(), staying.end()), staying.end());

    constexpr std::size_t kSize = sizeof(cpArbiter);
    scratch.values.resize(moving.size() * kSize);
    for (std::size_t i = 0; i < moving.size(); ++i) {
        std::memcpy(scratch.values.data() + i * kSize, moving[i], kSize);
    }
    for (std::size_t i = 0; i < moving.size(); ++i) {
        std::memcpy(static_cast<void*>(slots[i]), scratch.values.data() + i * kSize, kSize);
        RemapThreads(scratch, slots[i]);
    }
    for (cpArbiter* arb : staying) {
        RemapThreads(scratch, arb);
    }
    for (cpBody* body : bodies) {
        body->arbiterList = NewPlace(scratch, body->arbiterList);
    }
    for (int i = 0; i < solved->num; ++i) {
        solved->arr[i] = NewPlace(scratch, static_cast<cpArbiter*>(solved->arr[i]));
    }
    auto* table = reinterpret_cast<HashSetLayout*>(space->cachedArbiters);
    for (unsigned int i = 0; i < table->size; ++i) {
        for (HashSetBin* bin = table->table[i]; bin != nullptr; bin = bin->next) {
            bin->elt = NewPlace(scratch, static_cast<cpArbiter*>(bin->elt));
        }
    }
    // The rest is free again, handed out lowest first (the pool is taken from its end).
    pool->num = 0;
    for (std::size_t i = slots.size(); i-- > moving.size();) {
        cpArrayPush(pool, slots[i]);
    }
}

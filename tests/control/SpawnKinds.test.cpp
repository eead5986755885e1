#include "control/SpawnKinds.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "bodies/BodyClass.hpp"
#include "bodies/BodyClasses.hpp"
#include "control/SceneFixture.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpaceHash.hpp"

namespace {

using SpawnKindsTest = SceneTest;

// Bodies each kind adds to the hash: a squid's tentacle of n + 1 = 7 segments is hashed with
// the tentacles, a chain's n + 1 links with the chains.
struct Expected {
    SpawnKind kind;
    const char* name;
    bool whileHeld;
    const char* overlayLabel;
    int (*count)(); // the class it must make
    int hashedBodies;
};

const Expected kExpected[] = {
    {SpawnKind::Ball, "ball", true, " Ball  (key 1):", &TBall::Count, 1},
    {SpawnKind::Cube, "cube", true, " Cube  (key 2):", &TCube::Count, 1},
    {SpawnKind::Star, "star", true, " Star  (key 3):", &TStar::Count, 1},
    {SpawnKind::Squid, "squid", true, " Squid (key 4):", &TSquid::Count, 1 + 7},
    {SpawnKind::Chain, "chain", true, " Chain (key 5,6,7,8):", &TChain::Count, 19},
    {SpawnKind::FixedChain, "fixed chain", false, nullptr, &TChain::Count, 19},
    {SpawnKind::HangingChain, "hanging chain", false, nullptr, &TChain::Count, 19},
    {SpawnKind::StarChain, "star chain", false, nullptr, &TChain::Count, 11},
};

int HashedBodies() {
    int n = 0;
    for (const BodyClass* body : BodyClasses()) {
        body->forEachBody([](const std::shared_ptr<CPBody>&, void* c) { ++*static_cast<int*>(c); },
                          &n);
    }
    return n;
}

// What a space holds, independent of the order things were made in: per active shape its
// collision type, elasticity, friction, size (radius or vertices) and its body's mass, moment
// and position; plus the numbers of bodies and joints.
struct SpaceShape {
    std::vector<std::tuple<int, float, float, float, float, float, float, float>> shapes;
    int bodies = 0;
    int joints = 0;
    bool operator==(const SpaceShape&) const = default;
};

int AddShape(CPShape* shape, void* data) {
    float size = 0.0f;
    if (auto* circle = dynamic_cast<CPCircleShape*>(shape)) {
        size = circle->GetRadius() + 1000.0f * circle->GetOffset().x;
    } else if (auto* poly = dynamic_cast<CPPolyShape*>(shape)) {
        for (int i = 0; i < poly->GetVertCount(); ++i) {
            size += poly->GetVert(i).x * static_cast<float>(i + 1) + poly->GetVert(i).y;
        }
    }
    const auto body = shape->GetBody();
    static_cast<SpaceShape*>(data)->shapes.emplace_back(
        shape->GetCollisionType(), shape->GetElasticity(), shape->GetFriction(), size,
        body->GetMass(), body->GetMoment(), body->GetPosition().x, body->GetPosition().y);
    return 0;
}

SpaceShape ShapeOf(CPSpace& space) {
    SpaceShape s;
    space.GetActiveShapes()->ForEach(&AddShape, &s);
    std::sort(s.shapes.begin(), s.shapes.end());
    s.bodies = space.CountBodies();
    s.joints = space.CountJoints();
    return s;
}

} // namespace

TEST_F(SpawnKindsTest, EveryRowIsFoundByItsNumberAndReachesItsClass) {
    ASSERT_EQ(SpawnKinds().size(), std::size(kExpected));
    EXPECT_EQ(FindSpawnKind(0), nullptr);
    EXPECT_EQ(FindSpawnKind(9), nullptr);
    EXPECT_EQ(FindSpawnKind(-1), nullptr);
    int x = 200;
    for (const Expected& e : kExpected) {
        const int number = static_cast<int>(e.kind);
        SCOPED_TRACE(e.name);
        const SpawnKindRow* row = FindSpawnKind(e.kind);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row, &SpawnKinds()[static_cast<std::size_t>(number - 1)]) << "rows in key order";
        EXPECT_EQ(row->kind, e.kind);
        EXPECT_EQ(std::string(row->name), e.name);
        EXPECT_EQ(row->digit, number) << "recordings and scenes keep the digit as the kind";
        EXPECT_EQ(row->whileHeld, e.whileHeld);
        EXPECT_EQ(row->overlayLabel == nullptr ? std::string("-") : std::string(row->overlayLabel),
                  e.overlayLabel == nullptr ? std::string("-") : std::string(e.overlayLabel));

        // Kind k spawned k times makes k instances of the row's class (the counts differ from
        // kind to kind, so a row counting another class shows), counted through the row and
        // hashed with the bodies the kind is made of; no other class changes.
        std::vector<int> before;
        for (const BodyClass* body : BodyClasses()) {
            before.push_back(body->count());
        }
        const int count = e.count();
        const int hashed = HashedBodies();
        for (int i = 0; i < number; ++i) {
            control.spawnAt(number, Vec2(static_cast<float>(x), 300.0f));
            x += 300;
        }
        EXPECT_EQ(e.count(), count + number);
        EXPECT_EQ(row->body->count(), e.count());
        EXPECT_EQ(HashedBodies(), hashed + number * e.hashedBodies);
        std::size_t i = 0;
        int grown = 0;
        for (const BodyClass* body : BodyClasses()) {
            grown += body->count() - before[i++];
        }
        // A squid brings its tentacle along.
        EXPECT_EQ(grown, number * (e.kind == SpawnKind::Squid ? 2 : 1));
    }
}

TEST_F(SpawnKindsTest, DigitKeysSelectTheirRowAndOnlyHeldKindsRepeat) {
    for (const SpawnKindRow& row : SpawnKinds()) {
        SCOPED_TRACE(row.name);
        ClearAllBodies();
        tapKey(KeypadKey(row.digit));
        PushMouseMove(300, 200);
        PushMouseButton(2, true);
        control.updateControls();
        control.updateControls();
        PushMouseButton(2, false);
        EXPECT_EQ(control.currentObject, static_cast<int>(row.kind));
        EXPECT_EQ(row.body->count(), row.whileHeld ? 2 : 0);
    }
}

// The table's named parameters against the numbers the controller used to pass by position:
// a spawn through the table and the same Init call with those numbers, each in a space of its
// own, must leave the two spaces alike.
TEST_F(SpawnKindsTest, SpawnsMatchTheFormerPositionalParameters) {
    using Old = void (*)(const std::shared_ptr<TLayer>& layer, CPVect p,
                         const std::shared_ptr<CPBody>& star);
    const struct {
        int kind;
        Old old;
    } cases[] = {
        {1, [](auto& l, CPVect p,
               auto&) { TBall::Create()->Init(l, p, 15.0f, 0.38f, 100, 0.0f, 0.075f); }},
        {2, [](auto& l, CPVect p,
               auto&) { TCube::Create()->Init(l, p, 15.0f, 0.5f, 100, 0.0f, 0.1f); }},
        {3,
         [](auto& l, CPVect p, auto&) { TStar::Create()->Init(l, p, 1, 0.25f, 100, 0.0f, 0.05f); }},
        {4, [](auto& l, CPVect p,
               auto&) { TSquid::Create()->Init(l, p, 6, 15.0f, 0.85f, 100, 0.0f, 0.1f); }},
        {5,
         [](auto& l, CPVect p, auto&) {
             TChain::Create()->Init(l, p, 0, nullptr, nullptr, 18, 2.0f, 7.0f, 1.0f, 100, 0.0f,
                                    0.05f);
         }},
        {6,
         [](auto& l, CPVect p, auto&) {
             TChain::Create()->Init(l, p, 1, nullptr, nullptr, 18, 2.0f, 7.0f, 1.0f, 100, 0.0f,
                                    0.05f);
         }},
        {7,
         [](auto& l, CPVect p, auto&) {
             TChain::Create()->Init(l, p, 2, nullptr, nullptr, 18, 2.0f, 7.0f, 1.0f, 100, 0.0f,
                                    0.05f);
         }},
        {8,
         [](auto& l, CPVect p, auto& star) {
             TChain::Create()->Init(l, p, 1, nullptr, star, 10, 2.0f, 7.0f, 1.0f, 100, 0.0f, 0.05f);
         }},
    };
    const CPVect p = Vec2(900.0f, 300.0f);
    const CPVect starAt = Vec2(600.0f, 200.0f);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        ClearAllBodies();
        lastStarBody.reset();
        layer->spaceMap = CPSpace::Create();
        auto old = std::make_shared<TLayer>();
        old->spaceMap = CPSpace::Create();
        // Kind 8 ties its end to the newest star: one in each space, the table's made last.
        std::shared_ptr<CPBody> oldStar;
        if (c.kind == 8) {
            auto star = TStar::Create();
            star->Init(old, starAt, 1, 0.25f, 100, 0.0f, 0.05f);
            oldStar = star->_body;
            control.spawnAt(3, starAt);
        }
        control.spawnAt(c.kind, p);
        c.old(old, p, oldStar);
        const SpaceShape made = ShapeOf(*layer->spaceMap);
        EXPECT_GT(made.shapes.size(), 0u);
        EXPECT_TRUE(made == ShapeOf(*old->spaceMap));
        if (c.kind == 8) {
            EXPECT_EQ(lastStarBody, TStar::liveList->Last()->_body);
        }
    }
}

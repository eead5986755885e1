#include <gtest/gtest.h>

#include <array>
#include <map>

#include "PhysicsTestScene.hpp"
#include "physics/CPPinJoint.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSpaceHash.hpp"
#include "physics/LibraryView.hpp"

using namespace physics_test;

namespace {

// Drops a ball of the given type onto a floor of type 1000 and tells where it ends up.
float DropOntoBorder(int ballType, int pairA, int pairB, bool registerPair) {
    auto space = LevelLikeSpace();
    AddFloor(*space, 100.0f, 1000);
    if (registerPair) {
        space->AddCollisionPairFunc(pairA, pairB);
    }
    Ball ball = AddBall(*space, Vec2(0.0f, 80.0f), 9.0f, ballType);
    StepFor(*space, 180);
    return ball.body->GetPosition().y;
}

int CountCalls(CPShape*, void* data) {
    ++*static_cast<int*>(data);
    return 0;
}

int RecordVisit(CPShape* shape, void* data) {
    ++(*static_cast<std::map<CPShape*, int>*>(data))[shape];
    return 0;
}

} // namespace

TEST(CPSpaceCollisionPairs, RegisteredPairNeverCollidesInEitherOrder) {
    // Type 1 against the border type passes through, whichever order the pair was given in.
    EXPECT_GT(DropOntoBorder(1, 1, 1000, true), 200.0f);
    EXPECT_GT(DropOntoBorder(1, 1000, 1, true), 200.0f);
    // Unregistered, or another type: the border holds the ball (resting on top at y = 91).
    EXPECT_NEAR(DropOntoBorder(1, 0, 0, false), 91.0f, 1.0f);
    EXPECT_NEAR(DropOntoBorder(0, 1, 1000, true), 91.0f, 1.0f);
}

TEST(CPSpaceCollisionPairs, OverlappingShapesOfARegisteredPairFeelNoPush) {
    auto space = CPSpace::Create(); // no gravity: only a contact could move anything
    space->AddCollisionPairFunc(1, 1000);
    space->AddCollisionPairFunc(1000, 1); // the same pair again: harmless
    Ball a = AddBall(*space, Vec2(0.0f, 0.0f), 10.0f, 1);
    Ball b = AddBall(*space, Vec2(5.0f, 0.0f), 10.0f, 1000);
    Ball c = AddBall(*space, Vec2(100.0f, 0.0f), 10.0f, 0);
    Ball d = AddBall(*space, Vec2(105.0f, 0.0f), 10.0f, 1000);
    StepFor(*space, 30);
    EXPECT_EQ(a.body->GetPosition(), Vec2(0.0f, 0.0f));
    EXPECT_EQ(b.body->GetPosition(), Vec2(5.0f, 0.0f));
    EXPECT_EQ(a.body->GetVelocity(), ZeroVect);
    // Types 0 and 1000 collide normally and are pushed apart.
    EXPECT_LT(c.body->GetPosition().x, 100.0f);
    EXPECT_GT(d.body->GetPosition().x, 105.0f);
}

TEST(CPSpaceHashes, ForEachOverAnEmptySetNeverCallsBack) {
    auto space = CPSpace::Create();
    int calls = 0;
    space->GetActiveShapes()->ForEach(CountCalls, &calls);
    space->GetStaticShapes()->ForEach(CountCalls, &calls);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(space->GetActiveShapes(), space->GetActiveShapes());
    EXPECT_EQ(space->GetStaticShapes(), space->GetStaticShapes());
    EXPECT_NE(space->GetActiveShapes(), space->GetStaticShapes());
}

TEST(CPSpaceHashes, ForEachVisitsEveryStaticShapeOnceAfterResize) {
    auto space = LevelLikeSpace();
    auto ground = CPBody::Create(INFINITY, INFINITY);
    std::map<CPShape*, int> made;
    for (int i = 0; i < 40; ++i) {
        auto seg =
            CPSegmentShape::Create(ground, Vec2(static_cast<float>(i) * 32.0f, 200.0f),
                                   Vec2(static_cast<float>(i) * 32.0f + 32.0f, 200.0f), 0.0f);
        space->AddStaticShape(seg);
        made[seg.get()] = 0;
        EXPECT_EQ(seg->IsStatic(), 1);
    }
    space->ResizeStaticHash(10.0f, 2000);
    space->ResizeActiveHash(10.0f, 2000);
    std::map<CPShape*, int> seen;
    space->GetStaticShapes()->ForEach(RecordVisit, &seen);
    ASSERT_EQ(seen.size(), made.size());
    for (auto& [shape, visits] : seen) {
        EXPECT_EQ(made.count(shape), 1u);
        EXPECT_EQ(visits, 1);
        EXPECT_EQ(shape->GetBody(), ground);
    }
    // The segments made before the resize still hold a ball up.
    Ball ball = AddBall(*space, Vec2(100.0f, 180.0f));
    StepFor(*space, 120);
    EXPECT_NEAR(ball.body->GetPosition().y, 191.0f, 1.0f);
}

TEST(CPSpaceHashes, ShapesCountWhereTheyWereAddedNotByBodyKind) {
    auto space = LevelLikeSpace();
    AddFloor(*space, 300.0f);
    AddFloor(*space, 400.0f);
    Ball ball = AddBall(*space, Vec2(0.0f, 0.0f));
    // A fixed anchor: a body of infinite mass, never added, whose circle goes in with AddShape.
    auto anchor = CPBody::Create(INFINITY, INFINITY);
    anchor->SetPosition(Vec2(50.0f, 50.0f));
    auto anchorCircle = CPCircleShape::Create(anchor, 5.0f, ZeroVect);
    space->AddShape(anchorCircle);
    EXPECT_EQ(anchorCircle->IsStatic(), 0);

    EXPECT_EQ(space->CountActiveShapes(), 2);
    EXPECT_EQ(space->CountStaticShapes(), 2);
    EXPECT_EQ(space->CountBodies(), 1); // the static bodies are not the program's bodies
    std::map<CPShape*, int> active, statics;
    space->GetActiveShapes()->ForEach(RecordVisit, &active);
    space->GetStaticShapes()->ForEach(RecordVisit, &statics);
    EXPECT_EQ(active.size(), 2u);
    EXPECT_EQ(active.count(anchorCircle.get()), 1u);
    EXPECT_EQ(active.count(ball.shape.get()), 1u);
    EXPECT_EQ(statics.size(), 2u);
    EXPECT_EQ(statics.count(anchorCircle.get()), 0u);

    ball.shape->Free();
    anchorCircle->Free();
    int calls = 0;
    space->GetActiveShapes()->ForEach(CountCalls, &calls);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(space->CountActiveShapes(), 0);
}

TEST(CPSpaceHashes, AFixedAnchorIsAnImmovableObstacle) {
    auto space = LevelLikeSpace();
    auto anchor = CPBody::Create(INFINITY, INFINITY);
    anchor->SetPosition(Vec2(0.0f, 100.0f));
    auto circle = CPCircleShape::Create(anchor, 5.0f, ZeroVect);
    space->AddShape(circle);
    Ball ball = AddBall(*space, Vec2(0.0f, 80.0f), 9.0f);
    StepFor(*space, 20);
    EXPECT_LT(ball.body->GetPosition().y, 90.0f); // sits on the anchor, 14 above its centre
    EXPECT_EQ(anchor->GetPosition(), Vec2(0.0f, 100.0f));
    EXPECT_EQ(anchor->GetMass(), INFINITY);
    EXPECT_EQ(circle->GetTransformedCenter(), Vec2(0.0f, 100.0f));
}

// The settings reach the library's own space, read back from it: a fresh space starts with
// the library's defaults (10 iterations, a bounding-box tree), so these values differ.
TEST(CPSpace, SettingsReachTheLibrarysSpace) {
    auto space = CPSpace::Create();
    cpSpace* handle = LibrarySpace(*space);
    EXPECT_FALSE(IsSpatialHash(handle->staticShapes));
    space->SetIterations(3);
    EXPECT_EQ(cpSpaceGetIterations(handle), 3);
    space->SetGravity(Vec2(5.0f, -7.0f));
    EXPECT_EQ(cpSpaceGetGravity(handle).x, 5.0);
    EXPECT_EQ(cpSpaceGetGravity(handle).y, -7.0);
    space->ResizeActiveHash(20.0f, 500);
    EXPECT_TRUE(IsSpatialHash(handle->staticShapes));
    EXPECT_TRUE(IsSpatialHash(handle->dynamicShapes));
}

TEST(CPSpace, BoxRestsOnTheFloor) {
    auto space = LevelLikeSpace();
    AddFloor(*space, 100.0f);
    const std::array<CPVect, 4> box{Vec2(-15, -15), Vec2(-15, 15), Vec2(15, 15), Vec2(15, -15)};
    auto body = CPBody::Create(0.5f, MomentForPoly(0.5f, box, ZeroVect));
    body->SetPosition(Vec2(0.0f, 70.0f));
    auto shape = CPPolyShape::Create(body, box, ZeroVect);
    space->AddBody(body);
    space->AddShape(shape);
    StepFor(*space, 180);
    EXPECT_NEAR(body->GetPosition().y, 85.0f, 1.0f);
    // The vertices read back in the order given, in body coordinates.
    ASSERT_EQ(shape->GetVertCount(), 4);
    EXPECT_EQ(shape->GetVerts(), std::vector<CPVect>(box.begin(), box.end()));
    EXPECT_EQ(shape->GetVert(1), Vec2(-15, 15));
    auto shifted = CPPolyShape::Create(body, box, Vec2(1.0f, 2.0f));
    EXPECT_EQ(shifted->GetVert(0), Vec2(-14, -13));
}

TEST(CPSpace, CreateShowsNothingOnStdout) {
    testing::internal::CaptureStdout();
    auto space = CPSpace::Create();
    auto other = CPSpace::Create();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(space->GetGravity(), ZeroVect);
}

TEST(CPSpace, DestroyingASpaceFreesWhatIsInIt) {
    std::shared_ptr<CPBody> kept;
    std::shared_ptr<CPPinJoint> keptJoint;
    std::shared_ptr<CPSegmentShape> keptSegment;
    {
        auto space = LevelLikeSpace();
        keptSegment = AddFloor(*space, 100.0f);
        Ball a = AddBall(*space, Vec2(0.0f, 0.0f));
        Ball b = AddBall(*space, Vec2(30.0f, 0.0f));
        keptJoint = CPPinJoint::Create(a.body, b.body, ZeroVect, ZeroVect);
        space->AddJoint(keptJoint);
        kept = a.body;
        StepFor(*space, 10);
        EXPECT_EQ(keptJoint->GetParent(), space);
    }
    // Everything went with the space; the wrappers the test holds live on, freed.
    EXPECT_TRUE(kept->IsFreed());
    EXPECT_TRUE(keptJoint->IsFreed());
    EXPECT_TRUE(keptSegment->IsFreed());
    EXPECT_TRUE(keptSegment->GetBody()->IsFreed());
    EXPECT_EQ(keptJoint->GetParent(), nullptr);
    kept->Free();
    keptJoint->Free();
}

TEST(CPSpaceFreeMovables, EmptiesAPileButKeepsTheLevel) {
    auto space = LevelLikeSpace();
    auto floor = AddFloor(*space, 100.0f);
    // A pile resting on the floor and on each other (contacts remembered), joined in pairs,
    // and a circle on a fixed anchor body as a chain's fixed end has.
    std::vector<Ball> pile;
    for (int i = 0; i < 60; ++i) {
        pile.push_back(AddBall(*space, Vec2(-200.0f + 7.0f * static_cast<float>(i),
                                            80.0f - static_cast<float>(i % 3) * 18.0f)));
    }
    std::vector<std::shared_ptr<CPPinJoint>> joints;
    for (std::size_t i = 0; i + 1 < 60; i += 2) {
        joints.push_back(CPPinJoint::Create(pile[i].body, pile[i + 1].body, ZeroVect, ZeroVect));
        space->AddJoint(joints.back());
    }
    auto anchor = CPBody::Create(INFINITY, INFINITY);
    anchor->SetPosition(Vec2(300.0f, 0.0f));
    auto anchorShape = CPCircleShape::Create(anchor, 5.0f, ZeroVect);
    space->AddShape(anchorShape);
    auto pinned = AddBall(*space, Vec2(300.0f, 20.0f));
    auto toAnchor = CPPinJoint::Create(anchor, pinned.body, ZeroVect, ZeroVect);
    space->AddJoint(toAnchor);
    StepFor(*space, 60);

    space->FreeMovables();
    EXPECT_EQ(space->CountBodies(), 0);
    EXPECT_EQ(space->CountJoints(), 0);
    EXPECT_EQ(space->CountActiveShapes(), 0);
    EXPECT_EQ(space->CountStaticShapes(), 1);
    EXPECT_FALSE(floor->IsFreed());
    EXPECT_TRUE(anchor->IsFreed());
    EXPECT_TRUE(anchorShape->IsFreed());
    for (const Ball& b : pile) {
        EXPECT_TRUE(b.body->IsFreed());
        EXPECT_TRUE(b.shape->IsFreed());
        b.body->Free(); // the owners' own release afterwards is harmless
    }
    // The level still works: a new ball lands on the kept floor.
    Ball fresh = AddBall(*space, Vec2(0.0f, 0.0f));
    StepFor(*space, 180);
    EXPECT_NEAR(fresh.body->GetPosition().y, 100.0f - 9.0f, 1.0f);
}

// The box query sees a moving body's true outline, not its bounding box, and passes over the
// level's segments and bodies nothing moves.
TEST(CPSpace, MovableShapeInBoxSeesOutlinesOfMovingBodiesOnly) {
    auto space = LevelLikeSpace();
    AddFloor(*space, 50.0f); // a static segment across every box below
    AddBall(*space, Vec2(0.0f, 0.0f), 10.0f);
    auto kinematic = CPBody::CreateKinematic();
    kinematic->SetPosition(Vec2(200.0f, 0.0f));
    space->AddBody(kinematic);
    space->AddShape(CPCircleShape::Create(kinematic, 10.0f, ZeroVect));
    StepFor(*space, 1); // the moving shapes' places are indexed as a step leaves them
    struct Case {
        float x0, y0, x1, y1;
        bool found;
        const char* what;
    };
    const Case cases[] = {
        {-5, -5, 5, 5, true, "a box inside the ball"},
        {5, -3, 29, 21, true, "a box over the ball's right side"},
        {8, 8, 32, 32, false, "a box at the ball's corner: the boxes meet, the outlines do not"},
        {12, -12, 36, 12, false, "a box beside the ball"},
        {-12, 40, 12, 64, false, "a box on the floor segment only"},
        {190, -10, 210, 10, false, "a box over a body nothing moves"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(space->MovableShapeInBox(Vec2(c.x0, c.y0), Vec2(c.x1, c.y1)), c.found) << c.what;
    }
}

namespace {

// Chains of pinned links, all at one spot (every link overlapping every other), resting on a
// floor: the scene whose contacts made ending the program take minutes.
struct ChainHeap {
    std::shared_ptr<CPSpace> space = LevelLikeSpace();
    std::vector<Ball> links;
    std::vector<std::shared_ptr<CPPinJoint>> joints;
};

std::unique_ptr<ChainHeap> HeapOfChains(int chains, int linksEach) {
    auto heap = std::make_unique<ChainHeap>();
    AddFloor(*heap->space, 100.0f);
    for (int c = 0; c < chains; ++c) {
        for (int l = 0; l < linksEach; ++l) {
            heap->links.push_back(AddBall(*heap->space, Vec2(0.1f * float(c), 80.0f), 6.0f));
            if (l > 0) {
                auto& a = heap->links[heap->links.size() - 2];
                auto& b = heap->links.back();
                heap->joints.push_back(
                    CPPinJoint::Create(a.body, b.body, Vec2(6.0f, 0.0f), Vec2(-6.0f, 0.0f)));
                heap->space->AddJoint(heap->joints.back());
            }
        }
    }
    StepFor(*heap->space, 3);
    return heap;
}

} // namespace

TEST(CPSpaceClearing, AHeapOfChainsGoesWithoutWalkingItsContactsPerShape) {
    // 25 chains of 8 links at one spot remember some 20,000 contacts; taking the 200
    // links out one at a time walks them all for each link (millions). Whole, it is none at
    // all for the space's end, and a single pass for FreeMovables.
    for (const bool wholeSpace : {true, false}) {
        SCOPED_TRACE(wholeSpace ? "space destroyed" : "FreeMovables");
        auto heap = HeapOfChains(25, 8);
        ASSERT_GT(LibrarySpace(*heap->space)->arbiters->num, 10000);
        const std::uint64_t before = CPSpace::ContactsWalkedByRemovals();
        if (wholeSpace) {
            heap->space.reset();
        } else {
            heap->space->FreeMovables();
            EXPECT_EQ(heap->space->CountBodies(), 0);
        }
        EXPECT_LT(CPSpace::ContactsWalkedByRemovals() - before, 1000u);
        for (const Ball& b : heap->links) {
            EXPECT_TRUE(b.shape->IsFreed());
            EXPECT_TRUE(b.body->IsFreed());
            b.body->Free(); // the owners' own release afterwards is harmless
        }
        for (const auto& j : heap->joints) {
            EXPECT_TRUE(j->IsFreed());
        }
    }
}

TEST(CPSpace, MovableBodiesAtListsEachBodyUnderThePointNewestFirst) {
    auto space = LevelLikeSpace();
    AddFloor(*space, 20.0f); // static: never listed
    Ball older = AddBall(*space, Vec2(0.0f, 0.0f), 10.0f);
    Ball apart = AddBall(*space, Vec2(100.0f, 0.0f), 10.0f);
    Ball newer = AddBall(*space, Vec2(5.0f, 0.0f), 10.0f);
    std::shared_ptr<CPBody> out[3];
    EXPECT_EQ(space->MovableBodiesAt(Vec2(3.0f, 0.0f), out), 2);
    EXPECT_EQ(out[0], newer.body);
    EXPECT_EQ(out[1], older.body);
    // A second shape on the older body, added last, makes it the newest there.
    auto extra = CPCircleShape::Create(older.body, 4.0f, ZeroVect);
    space->AddShape(extra);
    EXPECT_EQ(space->MovableBodiesAt(Vec2(3.0f, 0.0f), out), 2);
    EXPECT_EQ(out[0], older.body);
    EXPECT_EQ(out[1], newer.body);
    std::shared_ptr<CPBody> one[1];
    EXPECT_EQ(space->MovableBodiesAt(Vec2(3.0f, 0.0f), one), 1);
    EXPECT_EQ(one[0], older.body);
    EXPECT_EQ(space->MovableBodiesAt(Vec2(100.0f, 0.0f), out), 1);
    EXPECT_EQ(out[0], apart.body);
    EXPECT_EQ(space->MovableBodiesAt(Vec2(50.0f, 19.0f), out), 0);
}

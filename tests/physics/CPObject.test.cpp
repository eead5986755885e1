#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "PhysicsTestScene.hpp"
#include "physics/CPPinJoint.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpaceHash.hpp"

using namespace physics_test;

namespace {

int CountCalls(CPShape*, void* data) {
    ++*static_cast<int*>(data);
    return 0;
}

// A star-like body with two shapes, tied by a joint to a ball, all in the space.
struct Scene {
    std::shared_ptr<CPSpace> space = LevelLikeSpace();
    std::shared_ptr<CPBody> body;
    std::shared_ptr<CPShape> shapeA, shapeB;
    std::shared_ptr<CPJoint> joint;
    Ball other;

    explicit Scene(bool addToSpace) {
        AddFloor(*space, 200.0f);
        const std::array<CPVect, 3> tri{Vec2(0, -10), Vec2(10, 10), Vec2(-10, 10)};
        body = CPBody::Create(1.0f, 50.0f);
        body->SetPosition(Vec2(0.0f, 100.0f));
        shapeA = CPPolyShape::Create(body, tri, ZeroVect);
        shapeB = CPCircleShape::Create(body, 4.0f, Vec2(0.0f, 12.0f));
        joint = CPSlideJoint::Create(body, CPBody::Create(1.0f, 5.0f), ZeroVect, ZeroVect, 0, 5);
        other = AddBall(*space, Vec2(40.0f, 100.0f));
        joint = CPPinJoint::Create(body, other.body, ZeroVect, ZeroVect);
        if (addToSpace) {
            space->AddBody(body);
            space->AddShape(shapeA);
            space->AddShape(shapeB);
            space->AddJoint(joint);
        }
    }
    std::vector<std::function<void()>> Frees() {
        return {[this] { body->Free(); }, [this] { shapeA->Free(); }, [this] { shapeB->Free(); },
                [this] { joint->Free(); }};
    }
    bool AllFreed() const {
        return body->IsFreed() && shapeA->IsFreed() && shapeB->IsFreed() && joint->IsFreed();
    }
};

} // namespace

TEST(CPObjectFree, EveryOrderOfBodyShapesAndJointIsSafe) {
    for (bool added : {true, false}) {
        std::array<int, 4> order{0, 1, 2, 3};
        do {
            Scene scene(added);
            auto frees = scene.Frees();
            for (int i : order) {
                frees[static_cast<std::size_t>(i)]();
                scene.space->DoStep(kStep); // stepping in between must be safe too
            }
            EXPECT_TRUE(scene.AllFreed());
            for (auto& f : frees) {
                f(); // and every second Free is harmless
            }
            EXPECT_EQ(scene.space->CountBodies(), 1);
            EXPECT_EQ(scene.space->CountActiveShapes(), 1);
            EXPECT_EQ(scene.space->CountJoints(), 0);
            StepFor(*scene.space, 10);
            EXPECT_GT(scene.other.body->GetPosition().y, 100.0f); // the rest simulates on
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST(CPObjectFree, FreeingABodyFreesItsShapesAndTakesItsJointsOutOfTheSpace) {
    Scene scene(true);
    EXPECT_EQ(scene.space->CountJoints(), 1);
    scene.body->Free(); // as a removed star does, before its shapes
    EXPECT_TRUE(scene.joint->IsFreed());
    EXPECT_TRUE(scene.shapeA->IsFreed());
    EXPECT_EQ(scene.space->CountJoints(), 0);
    EXPECT_EQ(scene.space->CountBodies(), 1);
    int calls = 0;
    scene.space->GetActiveShapes()->ForEach(CountCalls, &calls);
    EXPECT_EQ(calls, 1); // only the other ball's circle
    StepFor(*scene.space, 30);
    // The wrappers live on while referenced, and keep what they knew.
    EXPECT_EQ(scene.joint->GetBodyA(), scene.body);
    EXPECT_EQ(scene.shapeA->GetBody(), scene.body);
    scene.shapeA->Free();
    scene.shapeB->Free();
}

TEST(CPObjectFree, ChainTiedToAFreedStarSimulatesOn) {
    auto space = LevelLikeSpace();
    auto fixed = CPBody::Create(INFINITY, INFINITY); // never added, as a fixed anchor
    fixed->SetPosition(Vec2(0.0f, 0.0f));
    std::vector<std::shared_ptr<CPJoint>> joints;
    std::shared_ptr<CPBody> prev = fixed;
    std::vector<Ball> links;
    for (int i = 0; i < 5; ++i) {
        links.push_back(AddBall(*space, Vec2(-14.0f * static_cast<float>(i + 1), 0.0f), 7.0f, 8));
        auto j = CPSlideJoint::Create(links.back().body, prev, ZeroVect, ZeroVect, 0.0f, 7.0f);
        space->AddJoint(j);
        joints.push_back(j);
        prev = links.back().body;
    }
    Ball star = AddBall(*space, Vec2(-90.0f, 0.0f), 10.0f, 4);
    auto end = CPSlideJoint::Create(star.body, prev, ZeroVect, ZeroVect, 0.0f, 7.0f);
    space->AddJoint(end);
    StepFor(*space, 30);

    star.body->Free();
    star.shape->Free();
    EXPECT_TRUE(end->IsFreed());
    EXPECT_EQ(space->CountJoints(), 5);
    StepFor(*space, 60);
    for (auto& j : joints) {
        EXPECT_FALSE(j->IsFreed());
    }
    EXPECT_GT(links.back().body->GetPosition().y, 5.0f); // the loose end swings down
    end->Free();
    // A joint to a body already freed is never made, and adding it does nothing.
    auto late = CPSlideJoint::Create(star.body, prev, ZeroVect, ZeroVect, 0.0f, 7.0f);
    EXPECT_TRUE(late->IsFreed());
    space->AddJoint(late);
    EXPECT_EQ(space->CountJoints(), 5);
    EXPECT_EQ(late->GetBodyA(), star.body);
}

TEST(CPObjectFree, ObjectsNeverAddedAreDestroyedCleanly) {
    {
        // Freed explicitly, body first.
        auto a = CPBody::Create(1.0f, 1.0f);
        auto b = CPBody::Create(INFINITY, INFINITY);
        auto c = CPCircleShape::Create(a, 3.0f, ZeroVect);
        auto s = CPSegmentShape::Create(b, ZeroVect, Vec2(1, 1), 0.0f);
        auto j = CPPinJoint::Create(a, b, ZeroVect, Vec2(0, 5));
        a->Free();
        EXPECT_TRUE(c->IsFreed());
        EXPECT_TRUE(j->IsFreed());
        b->Free();
        s->Free();
        c->Free();
        j->Free();
    }
    {
        // Never freed: dropping the last reference destroys them (the leak checker watches).
        auto a = CPBody::Create(1.0f, 1.0f);
        auto c = CPCircleShape::Create(a, 3.0f, ZeroVect);
        auto j = CPPinJoint::Create(a, CPBody::Create(2.0f, 2.0f), ZeroVect, Vec2(0, 5));
        c->SetElasticity(0.5f);
        EXPECT_FLOAT_EQ(c->GetElasticity(), 0.5f);
    }
    {
        // Made on a freed body: the shape is born freed.
        auto a = CPBody::Create(1.0f, 1.0f);
        a->Free();
        auto c = CPCircleShape::Create(a, 3.0f, ZeroVect);
        EXPECT_TRUE(c->IsFreed());
        EXPECT_EQ(c->GetBody(), a);
        auto space = CPSpace::Create();
        space->AddShape(c);
        space->AddBody(a);
        EXPECT_EQ(space->CountActiveShapes(), 0);
        EXPECT_EQ(space->CountBodies(), 0);
    }
}

TEST(CPObjectFree, FreeTwiceIsHarmless) {
    auto space = LevelLikeSpace();
    Ball ball = AddBall(*space, Vec2(0.0f, 0.0f));
    ball.body->Free();
    ball.body->Free();
    ball.shape->Free();
    ball.shape->Free();
    EXPECT_TRUE(ball.body->IsFreed());
    EXPECT_EQ(space->CountBodies(), 0);
    EXPECT_EQ(space->CountActiveShapes(), 0);
    space->DoStep(kStep);
}

TEST(CPObjectFree, ObjectsDroppedByTheProgramStayInTheSpace) {
    auto space = LevelLikeSpace();
    {
        AddFloor(*space, 100.0f); // nobody keeps the segment, as with the level's geometry
        AddBall(*space, Vec2(0.0f, 0.0f));
    }
    EXPECT_EQ(space->CountStaticShapes(), 1);
    EXPECT_EQ(space->CountActiveShapes(), 1);
    StepFor(*space, 180);
    CPBody* body = nullptr;
    space->GetActiveShapes()->ForEach(
        [](CPShape* shape, void* data) {
            *static_cast<CPBody**>(data) = shape->GetBody().get();
            return 0;
        },
        &body);
    ASSERT_NE(body, nullptr);
    EXPECT_NEAR(body->GetPosition().y, 91.0f, 1.0f);
}

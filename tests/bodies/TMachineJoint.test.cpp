#include "bodies/TMachineJoint.hpp"

#include <functional>
#include <string>

#include "BodyTestSupport.hpp"
#include "app/BodyHash.hpp"

namespace {

class MachineJointTest : public BodiesTest {
  protected:
    void SetUp() override {
        BodiesTest::SetUp();
        layer->staticBodyMap = CPBody::Create(INFINITY, INFINITY);
    }

    std::shared_ptr<TMachineJoint> Place(JointKind kind, CPVect p, CPVect q = ZeroVect,
                                         TMachineJoint::Params k = {}) {
        k.kind = kind;
        return TMachineJoint::Place(layer, p, q, k);
    }

    int SpaceJoints() const { return layer->spaceMap->CountJoints(); }

    // Steps the space (no body passes) until it has taken `steps` steps in all.
    void StepsTo(std::uint32_t steps) {
        while (layer->spaceMap->StepsTaken() < steps) {
            layer->spaceMap->DoStep(1.0f / 180.0f);
        }
    }
};

TEST_F(MachineJointTest, PlacedBetweenTheNewestBodiesUnderThePointOrTheLevel) {
    auto older = SpawnBall(layer, Vec2(300.0f, 300.0f));
    auto newer = SpawnCube(layer, Vec2(310.0f, 300.0f));
    auto alone = SpawnBall(layer, Vec2(600.0f, 300.0f));
    const std::shared_ptr<CPBody>& level = layer->staticBodyMap;
    struct Row {
        JointKind kind;
        CPVect p, q;
        std::shared_ptr<CPBody> a, b; // expected; a Null a: nothing placed
        int physicsJoints;            // the kind's joints in the space
    };
    const Row rows[] = {
        {JointKind::Hinge, Vec2(305.0f, 300.0f), ZeroVect, newer->_body, older->_body, 1},
        {JointKind::Motor, Vec2(305.0f, 300.0f), ZeroVect, newer->_body, older->_body, 2},
        {JointKind::Weld, Vec2(305.0f, 300.0f), ZeroVect, newer->_body, older->_body, 2},
        {JointKind::Hinge, Vec2(600.0f, 300.0f), ZeroVect, alone->_body, level, 1},
        {JointKind::Weld, Vec2(600.0f, 300.0f), ZeroVect, alone->_body, level, 2},
        {JointKind::Hinge, Vec2(450.0f, 100.0f), ZeroVect, nullptr, nullptr, 0},
        {JointKind::Spring, Vec2(600.0f, 300.0f), Vec2(290.0f, 300.0f), alone->_body, older->_body,
         1},
        {JointKind::Rope, Vec2(600.0f, 300.0f), Vec2(450.0f, 100.0f), alone->_body, level, 1},
        {JointKind::Rope, Vec2(450.0f, 100.0f), Vec2(600.0f, 300.0f), level, alone->_body, 1},
        {JointKind::Rope, Vec2(595.0f, 300.0f), Vec2(605.0f, 300.0f), nullptr, nullptr, 0},
        {JointKind::Spring, Vec2(450.0f, 100.0f), Vec2(460.0f, 100.0f), nullptr, nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.kind));
        SCOPED_TRACE(row.p.x);
        auto joint = Place(row.kind, row.p, row.q);
        if (!row.a) {
            EXPECT_EQ(joint, nullptr);
            EXPECT_EQ(SpaceJoints(), 0);
            continue;
        }
        ASSERT_NE(joint, nullptr);
        EXPECT_TRUE(joint->IsIntact());
        EXPECT_EQ(joint->_bodyA, row.a);
        EXPECT_EQ(joint->_bodyB, row.b);
        EXPECT_EQ(SpaceJoints(), row.physicsJoints);
        ExpectVec(joint->WorldAnchorA(), row.p);
        ExpectVec(joint->WorldAnchorB(),
                  joint->_params.kind == JointKind::Spring || joint->_params.kind == JointKind::Rope
                      ? row.q
                      : row.p);
        joint->remove();
        EXPECT_EQ(SpaceJoints(), 0);
    }
    EXPECT_EQ(TMachineJoint::Count(), 0);
}

// However a body leaves, the joints on it leave with it and nothing reads its freed library
// body (the sanitizer run catches a read).
TEST_F(MachineJointTest, JointsGoWithAnyBodyThatLeaves) {
    struct Row {
        std::string how;
        // Makes a body, returns the world point on it and a way to make it leave.
        std::function<CPVect(std::function<void()>&)> make;
    };
    const Row rows[] = {
        {"ball off the level",
         [&](std::function<void()>& leave) {
             auto ball = SpawnBall(layer, Vec2(300.0f, 300.0f));
             leave = [ball] { ball->_body->SetPosition(Vec2(-50.0f, 300.0f)); };
             return Vec2(300.0f, 300.0f);
         }},
        {"ball removed (a selection deleted)",
         [&](std::function<void()>& leave) {
             auto ball = SpawnBall(layer, Vec2(300.0f, 300.0f));
             leave = [ball] { ball->remove(); };
             return Vec2(300.0f, 300.0f);
         }},
        {"squid dying",
         [&](std::function<void()>& leave) {
             auto squid = SpawnSquid(layer, Vec2(300.0f, 300.0f));
             leave = [squid] { squid->_life = 0; };
             return squid->_body->GetPosition();
         }},
        {"a squid's tentacle segment",
         [&](std::function<void()>& leave) {
             auto squid = SpawnSquid(layer, Vec2(300.0f, 300.0f));
             leave = [squid] { squid->_life = 0; };
             return squid->_tentacle->_bodyRect.Last()->GetPosition();
         }},
        {"chain link, chain removed",
         [&](std::function<void()>& leave) {
             auto chain = SpawnChain(layer, Vec2(400.0f, 300.0f), 1, 4);
             leave = [chain] { chain->remove(); };
             return chain->_body.Last()->GetPosition().Add(Vec2(-7.0f, 0.0f));
         }},
        {"scene replaced",
         [&](std::function<void()>& leave) {
             SpawnBall(layer, Vec2(300.0f, 300.0f));
             leave = [&] {
                 layer->spaceMap->FreeMovables();
                 ClearAllBodies();
             };
             return Vec2(300.0f, 300.0f);
         }},
        {"all bodies cleared",
         [&](std::function<void()>& leave) {
             SpawnBall(layer, Vec2(300.0f, 300.0f));
             leave = [] { ClearAllBodies(); };
             return Vec2(300.0f, 300.0f);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        // The level's body here holds no segments: a scene replaced takes it too.
        layer->staticBodyMap = CPBody::Create(INFINITY, INFINITY);
        std::function<void()> leave;
        const CPVect p = row.make(leave);
        auto other = SpawnBall(layer, Vec2(700.0f, 300.0f));
        for (const JointKind kind : {JointKind::Hinge, JointKind::Motor, JointKind::Weld}) {
            ASSERT_NE(Place(kind, p), nullptr);
        }
        ASSERT_NE(Place(JointKind::Spring, p, Vec2(700.0f, 300.0f)), nullptr);
        ASSERT_NE(Place(JointKind::Rope, Vec2(700.0f, 300.0f), p), nullptr);
        ASSERT_EQ(TMachineJoint::Count(), 5);
        Frame();
        leave();
        // The body leaves (or dies and leaves), then its joints find themselves broken and go.
        Frame(3);
        EXPECT_EQ(TMachineJoint::Count(), 0);
        ClearAllBodies();
        EXPECT_EQ(TMachineJoint::liveList, nullptr); // cleared with the bodies
        EXPECT_EQ(SpaceJoints(), 0);
        layer->spaceMap->FreeMovables();
    }
}

TEST_F(MachineJointTest, BreaksBeyondItsForceOnlyAfterTheGrace) {
    struct Row {
        float breakForce;
        bool breaks;
    };
    // A 5-mass ball hangs on a rope: it holds 3000 once still, more while it swings.
    for (const Row row : {Row{0.0f, false}, Row{1000.0f, true}, Row{20000.0f, false}}) {
        SCOPED_TRACE(row.breakForce);
        auto ball = TBall::Create();
        ball->Init(layer, Vec2(300.0f, 300.0f), 15.0f, 5.0f, 100, 0.0f, 0.1f);
        TMachineJoint::Params k;
        k.breakForce = row.breakForce;
        auto rope = Place(JointKind::Rope, Vec2(300.0f, 300.0f), Vec2(300.0f, 200.0f), k);
        ASSERT_NE(rope, nullptr);
        const std::uint32_t start = layer->spaceMap->StepsTaken();
        // Just before the grace ends: whole whatever the force.
        StepsTo(start + TMachineJoint::kGraceSteps - 3);
        UpdateAllBodies();
        EXPECT_TRUE(rope->IsIntact());
        EXPECT_EQ(TMachineJoint::Count(), 1);
        StepsTo(start + TMachineJoint::kGraceSteps + 30);
        UpdateAllBodies();
        UpdateAllBodies();
        EXPECT_EQ(TMachineJoint::Count(), row.breaks ? 0 : 1);
        EXPECT_EQ(SpaceJoints(), row.breaks ? 0 : 1);
        ClearAllBodies();
    }
}

TEST_F(MachineJointTest, ChangedSettingsKeepBodiesAnchorsAndLength) {
    auto wheel = SpawnBall(layer, Vec2(300.0f, 300.0f));
    auto motor = Place(JointKind::Motor, Vec2(300.0f, 300.0f));
    ASSERT_NE(motor, nullptr);
    EXPECT_EQ(SpaceJoints(), 2);
    TMachineJoint::Params k = motor->_params;
    k.motorOn = false;
    motor->Change(k);
    EXPECT_TRUE(motor->IsIntact());
    EXPECT_EQ(SpaceJoints(), 2);
    Step(30);
    EXPECT_NEAR(wheel->_body->GetExactState().angularVelocity, 0.0, 1e-9); // off: free
    k.motorOn = true;
    k.motorRate = -180.0f;
    motor->Change(k);
    Step(30);
    EXPECT_NEAR(wheel->_body->GetExactState().angularVelocity * 57.29578, -180.0, 2.0);
    k.kind = JointKind::Hinge;
    motor->Change(k);
    EXPECT_EQ(SpaceJoints(), 1);
    EXPECT_EQ(motor->_bodyA, wheel->_body);
    ExpectVec(motor->WorldAnchorA(), Vec2(300.0f, 300.0f), 0.5f);
    EXPECT_EQ(motor->_params, k);
}

TEST_F(MachineJointTest, SpringRestsAtItsDrawnLengthAndRopeGoesSlack) {
    layer->spaceMap->SetGravity(ZeroVect);
    auto a = SpawnBall(layer, Vec2(300.0f, 300.0f));
    auto b = SpawnBall(layer, Vec2(400.0f, 300.0f));
    auto spring = Place(JointKind::Spring, Vec2(300.0f, 300.0f), Vec2(400.0f, 300.0f));
    ASSERT_NE(spring, nullptr);
    EXPECT_FLOAT_EQ(spring->_length, 100.0f);
    b->_body->SetPosition(Vec2(450.0f, 300.0f));
    TMachineJoint::Params k = spring->_params;
    k.damping = TMachineJoint::kDampings[1];
    spring->Change(k);
    Step(600);
    EXPECT_NEAR(b->_body->GetPosition().Sub(a->_body->GetPosition()).Length(), 100.0f, 1.0f);
    spring->remove();
    auto rope = Place(JointKind::Rope, a->_body->GetPosition(), b->_body->GetPosition());
    ASSERT_NE(rope, nullptr);
    b->_body->SetVelocity(Vec2(-100.0f, 0.0f)); // slack: nothing pulls it back
    Step(10);
    EXPECT_NEAR(b->_body->GetVelocity().x, -100.0f, 0.5f);
}

TEST_F(MachineJointTest, MarkAtFindsTheNewestJointWithinReach) {
    SpawnBall(layer, Vec2(300.0f, 300.0f));
    SpawnBall(layer, Vec2(500.0f, 300.0f));
    auto hinge = Place(JointKind::Hinge, Vec2(300.0f, 300.0f));
    auto rope = Place(JointKind::Rope, Vec2(300.0f, 300.0f), Vec2(500.0f, 300.0f));
    EXPECT_EQ(TMachineJoint::MarkAt(Vec2(400.0f, 304.0f), 5.0f), rope);
    EXPECT_EQ(TMachineJoint::MarkAt(Vec2(400.0f, 310.0f), 5.0f), nullptr);
    EXPECT_EQ(TMachineJoint::MarkAt(Vec2(303.0f, 300.0f), 5.0f), rope); // the newer
    rope->remove();
    EXPECT_EQ(TMachineJoint::MarkAt(Vec2(303.0f, 300.0f), 5.0f), hinge);
    EXPECT_EQ(TMachineJoint::MarkAt(Vec2(320.0f, 300.0f), 5.0f), nullptr);
}

TEST_F(MachineJointTest, EveryMarkLeavesTheDrawingStateAsFound) {
    SpawnBall(layer, Vec2(300.0f, 300.0f));
    SpawnBall(layer, Vec2(500.0f, 300.0f));
    for (int kind = 0; kind < kJointKindCount; ++kind) {
        Place(static_cast<JointKind>(kind), Vec2(300.0f, 300.0f), Vec2(500.0f, 300.0f));
    }
    ASSERT_EQ(TMachineJoint::Count(), kJointKindCount);
    UpdateAllBodies();
    ExpectDefaultDrawingState("marks");
}

TEST_F(MachineJointTest, HashedAfterTheBodiesOnlyWhenThereAreJoints) {
    SpawnBall(layer, Vec2(300.0f, 300.0f));
    const BodyHash bare = BodyHash::OfLiveBodies();
    auto hinge = Place(JointKind::Hinge, Vec2(300.0f, 300.0f));
    const BodyHash joined = BodyHash::OfLiveBodies();
    EXPECT_EQ(joined.bodies, bare.bodies);
    EXPECT_NE(joined.value, bare.value);
    TMachineJoint::Params k = hinge->_params;
    k.breakForce = TMachineJoint::kBreakForces[1];
    hinge->Change(k);
    EXPECT_NE(BodyHash::OfLiveBodies().value, joined.value);
    hinge->remove();
    EXPECT_EQ(BodyHash::OfLiveBodies().value, bare.value);
}

} // namespace

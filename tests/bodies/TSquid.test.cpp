#include "bodies/TSquid.hpp"

#include <chipmunk/chipmunk.h>

#include "BodyTestSupport.hpp"
#include "physics/CPPinJoint.hpp"

using SquidTest = BodiesTest;

namespace {
std::shared_ptr<CPBody> Nth(TList<std::shared_ptr<CPBody>>& list, int n) {
    int i = 0;
    for (auto& v : list) {
        if (i++ == n) {
            return v;
        }
    }
    return nullptr;
}
} // namespace

TEST_F(SquidTest, PlayerSquidIsListedCountedAndBuiltWithItsTentacle) {
    EXPECT_EQ(TSquid::Count(), 0);
    auto player = SpawnSquid(layer, Vec2(450.0f, 300.0f), 14, 12.0f);
    auto other = SpawnSquid(layer, Vec2(800.0f, 300.0f));
    EXPECT_EQ(TSquid::Count(), 2);
    EXPECT_EQ(TSquid::liveList->First(), player);
    EXPECT_EQ(TTentacle::CountInstances(), 2);
    EXPECT_EQ(TTentacle::CountAll(), 15 + 7);
    EXPECT_NEAR(player->_body->GetMoment(), 61.2f, 1e-3f);
    EXPECT_EQ(player->_shapeSquid->GetCollisionType(), 6);
    EXPECT_EQ(dynamic_cast<TSquid*>(static_cast<TObject*>(player->_body->GetData())), player.get());
    auto& t = *player->_tentacle;
    EXPECT_EQ(t._length, 14);
    EXPECT_FLOAT_EQ(t._size, 9.6f);
    EXPECT_FLOAT_EQ(t._radius, 8.0f);
    EXPECT_EQ(t._life, 100);
    EXPECT_EQ(t.Count(), 15);
    EXPECT_EQ(t._shapePivot.Count(), 15);
    EXPECT_EQ(t._shapeRect.Count(), 14);
    EXPECT_EQ(t._joint.Count(), 30);
    // Every segment is about 24.04 for the player, 37.0 for a spawned squid (wider boxes).
    EXPECT_NEAR(t._bodyRect.First()->GetMoment(), 24.04f, 0.01f);
    EXPECT_NEAR(t._bodyRect.Last()->GetMoment(), 24.04f, 0.01f);
    EXPECT_NEAR(other->_tentacle->_bodyRect.Last()->GetMoment(), 37.0f, 0.01f);
    EXPECT_EQ(t._shapeRect.First()->GetCollisionType(), 5);
    EXPECT_EQ(t._shapePivot.First()->GetCollisionType(), 5);
    EXPECT_EQ(dynamic_cast<TTentacle*>(static_cast<TObject*>(t._bodyRect.Last()->GetData())), &t);
    // Two squids with 15 and 7 segments, two joints per segment.
    EXPECT_EQ(layer->spaceMap->CountBodies(), 2 + 15 + 7);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 30 + 14);
    EXPECT_EQ(ActiveShapes(*layer->spaceMap), 2 + 15 + 14 + 7 + 6);
    EXPECT_EQ(t._joint.First()->GetBodyA(), player->_body);
    EXPECT_EQ(t._joint.First()->GetBodyB(), t._bodyRect.First());
}

TEST_F(SquidTest, TentacleGeometryAtCreation) {
    const CPVect s = Vec2(1000.0f, 300.0f);
    auto squid = SpawnSquid(layer, s, 6, 15.0f);
    auto& t = *squid->_tentacle;
    ExpectVec(Nth(t._bodyRect, 0)->GetPosition(), s.Add(Vec2(-10.0f, 0.0f)));
    ExpectVec(t._shapePivot.First()->GetTransformedCenter(), s.Add(Vec2(-20.0f, 0.0f)));
    EXPECT_FLOAT_EQ(t._shapePivot.First()->GetRadius(), 10.0f);
    for (int i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        ExpectVec(Nth(t._bodyRect, i)->GetPosition(),
                  s.Add(Vec2(-16.0f - 24.0f * static_cast<float>(i), 0.0f)));
    }
    ExpectVec(t._shapePivot.Last()->GetTransformedCenter(),
              s.Add(Vec2(-16.0f - 144.0f - 8.0f, 0.0f)));
    EXPECT_FLOAT_EQ(t._shapePivot.Last()->GetRadius(), 8.0f);
    // Neighbours hang together: the squid dragged away for a second pulls every segment after
    // it, each no farther from the one before than the pins allow (24 px apart at rest).
    for (int f = 0; f < 60; ++f) {
        squid->_body->ApplyImpulse(Vec2(40.0f, 0.0f), ZeroVect);
        Frame();
    }
    ASSERT_GT(squid->_body->GetPosition().x, s.x + 80.0f);
    EXPECT_LT(squid->_body->GetPosition().Sub(Nth(t._bodyRect, 0)->GetPosition()).Length(), 30.0f);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const float d =
            Nth(t._bodyRect, i)->GetPosition().Sub(Nth(t._bodyRect, i + 1)->GetPosition()).Length();
        EXPECT_LT(d, 30.0f);
    }
}

TEST_F(SquidTest, SquidWithoutLengthHasOneSegment) {
    auto squid = SpawnSquid(layer, Vec2(500.0f, 300.0f), 0);
    auto& t = *squid->_tentacle;
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t._shapePivot.Count(), 1);
    EXPECT_EQ(t._shapeRect.Count(), 0);
    EXPECT_EQ(t._joint.Count(), 2);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 2);
    EXPECT_EQ(ActiveShapes(*layer->spaceMap), 2);
}

TEST_F(SquidTest, SquidDropsAtTwentyBesideABallAtSixHundred) {
    auto squid = SpawnSquid(layer, Vec2(500.0f, 100.0f));
    auto ball = SpawnBall(layer, Vec2(700.0f, 100.0f));
    // Alone, without the tentacle's pull, the squid falls under exactly its own gravity.
    squid->_tentacle->remove();
    const int steps = 60;
    for (int i = 0; i < steps; ++i) {
        layer->spaceMap->DoStep(kStep);
    }
    const float t = steps * kStep;
    EXPECT_NEAR(squid->_body->GetVelocity().y, 20.0f * t, 0.01f);
    EXPECT_NEAR(ball->_body->GetVelocity().y, 600.0f * t, 0.5f);
}

TEST_F(SquidTest, VelocityFunctionsUseTheirOwnGravityAndIgnoreForces) {
    auto body = CPBody::Create(1.0f, 1.0f);
    auto* handle = static_cast<cpBody*>(body->GetHandle());
    // A force and a torque left on the body in the library (it keeps them until reset) must
    // neither push nor turn it.
    cpBodySetForce(handle, cpv(300.0, -900.0));
    cpBodySetTorque(handle, 50.0);
    TSquid::applyVelocity(*body, Vec2(0.0f, 600.0f), 1.0f, 0.5f);
    ExpectVec(body->GetVelocity(), Vec2(0.0f, 10.0f));
    EXPECT_EQ(cpBodyGetAngularVelocity(handle), 0.0);
    body->SetVelocity(ZeroVect);
    cpBodySetForce(handle, cpv(300.0, -900.0));
    cpBodySetTorque(handle, 50.0);
    TTentacle::applyVelocity(*body, Vec2(0.0f, 600.0f), 1.0f, 0.5f);
    ExpectVec(body->GetVelocity(), Vec2(0.0f, 5.0f));
    EXPECT_EQ(cpBodyGetAngularVelocity(handle), 0.0);
    body->Free();
}

TEST_F(SquidTest, TentacleTrailsTheSquidWhenItIsPushed) {
    auto squid = SpawnSquid(layer, Vec2(500.0f, 300.0f), 14, 12.0f);
    const CPVect tail0 = squid->_tentacle->_bodyRect.Last()->GetPosition();
    for (int f = 0; f < 60; ++f) {
        squid->_body->ApplyImpulse(Vec2(40.0f, 0.0f), ZeroVect);
        Frame();
    }
    EXPECT_GT(squid->_body->GetPosition().x, 600.0f);
    EXPECT_GT(squid->_tentacle->_bodyRect.Last()->GetPosition().x, tail0.x + 50.0f);
}

TEST_F(SquidTest, RemovedSquidReleasesItselfAndItsTentacleWithinTheFrame) {
    auto keep = SpawnSquid(layer, Vec2(300.0f, 300.0f));
    auto squid = SpawnSquid(layer, Vec2(900.0f, 300.0f), 14, 12.0f);
    EXPECT_FALSE(squid->IsRemoved());
    squid->_body->SetPosition(Vec2(900.0f, 800.0f)); // below the level
    Frame();
    EXPECT_EQ(squid->_life, 0);
    EXPECT_EQ(TSquid::Count(), 2);
    Frame(); // squid pass removes it, tentacle pass of the same frame frees the tentacle
    EXPECT_TRUE(squid->IsRemoved());
    EXPECT_TRUE(squid->_shapeSquid->IsFreed());
    EXPECT_EQ(TSquid::Count(), 1);
    EXPECT_EQ(TTentacle::CountInstances(), 1);
    EXPECT_TRUE(squid->_tentacle->_bodyRect.Last()->IsFreed());
    EXPECT_TRUE(squid->_tentacle->_joint.First()->IsFreed());
    EXPECT_EQ(layer->spaceMap->CountBodies(), 1 + 7);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 14);
    // The game goes on: later steps never touch what was freed.
    Frame(10);
    EXPECT_FALSE(keep->IsRemoved());
    EXPECT_EQ(TTentacle::CountAll(), 7);
}

TEST_F(SquidTest, DrawsSquidThenBeadsAndRestoresTheState) {
    auto squid = SpawnSquid(layer, Vec2(600.0f, 300.0f), 14, 12.0f);
    Cls();
    Record();
    TSquid::UpdateAll();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].image, blueBallImage.get());
    ExpectDefaultDrawingState("squid");
    Record();
    TTentacle::UpdateAll();
    EXPECT_EQ(DrawsOf(blueBallImage), 15);
    ExpectDefaultDrawingState("tentacle");
    EXPECT_NE(ReadPixel(600, 300) & 0xFFFFFF00u, 0u);
}

TEST_F(SquidTest, BeadsOfVeryLongTentaclesStayBlack) {
    // 31 segments: the last ones would need grey levels below zero.
    auto squid = SpawnSquid(layer, Vec2(1000.0f, 300.0f), 30, 15.0f);
    SetClsColor(255, 255, 255);
    Cls();
    SetClsColor(0, 0, 0);
    TTentacle::UpdateAll();
    const CPVect last = squid->_tentacle->_shapePivot.Last()->GetTransformedCenter();
    const std::uint32_t px = ReadPixel(static_cast<int>(last.x), static_cast<int>(last.y));
    // A black bead at alpha 0.8 over white leaves a dark grey, never a light one.
    EXPECT_LT((px >> 24) & 0xFF, 128u);
    EXPECT_LT((px >> 16) & 0xFF, 128u);
    ExpectDefaultDrawingState("long tentacle");
}

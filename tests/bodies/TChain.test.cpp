#include "bodies/TChain.hpp"

#include <cmath>

#include "BodyTestSupport.hpp"
#include "media/audio/TSound.hpp"
#include "physics/CPSlideJoint.hpp"

using ChainTest = BodiesTest;

namespace {
template <class T> std::shared_ptr<T> Nth(TList<std::shared_ptr<T>>& list, int n) {
    int i = 0;
    for (auto& v : list) {
        if (i++ == n) {
            return v;
        }
    }
    return nullptr;
}

// Steps the layer's space (no body passes) until it has taken `steps` steps in all.
void StepsTo(TLayer& layer, std::uint32_t steps) {
    while (layer.spaceMap->StepsTaken() < steps) {
        layer.spaceMap->DoStep(1.0f / 180.0f);
    }
}
} // namespace

TEST_F(ChainTest, ModeOneHangsBetweenTwoFixedAnchors252Apart) {
    const CPVect p = Vec2(600.0f, 200.0f);
    auto chain = SpawnChain(layer, p, 1);
    EXPECT_EQ(TChain::Count(), 1);
    EXPECT_FLOAT_EQ(chain->_strong, 16.0f);
    EXPECT_EQ(chain->_cycle, 360); // two seconds of the space's steps from now
    EXPECT_EQ(chain->_body.Count(), 19);
    EXPECT_EQ(chain->_joint.Count(), 20);
    ASSERT_EQ(chain->_shape.Count(), 2 + 19);
    auto start = chain->_shape.First()->GetBody();
    auto end = Nth(chain->_shape, 1)->GetBody();
    ExpectVec(start->GetPosition(), p.Add(Vec2(112.0f, 0.0f)));
    ExpectVec(end->GetPosition(), p.Add(Vec2(-140.0f, 0.0f)));
    EXPECT_TRUE(std::isinf(start->GetMass()));
    EXPECT_EQ(chain->_shape.First()->GetCollisionType(), 7);
    EXPECT_FLOAT_EQ(chain->_shape.First()->GetRadius(), 5.0f);
    EXPECT_EQ(start->GetData(), nullptr); // a chain's own anchors carry no user data
    // Links left of the start anchor, circles touching; each carries the chain.
    ExpectVec(chain->_body.First()->GetPosition(), p.Add(Vec2(112.0f - 7.0f, 0.0f)));
    ExpectVec(chain->_body.Last()->GetPosition(), p.Add(Vec2(112.0f - 7.0f - 14.0f * 18, 0.0f)));
    EXPECT_NEAR(chain->_body.First()->GetMoment(), 24.5f, 1e-4f);
    EXPECT_EQ(chain->_shape.Last()->GetCollisionType(), 8);
    EXPECT_EQ(dynamic_cast<TChain*>(static_cast<TObject*>(chain->_body.Last()->GetData())),
              chain.get());
    // Start joint first (link, anchor), end joint last (anchor, link).
    EXPECT_EQ(chain->_joint.First()->GetBodyA(), chain->_body.First());
    EXPECT_EQ(chain->_joint.First()->GetBodyB(), start);
    EXPECT_EQ(chain->_joint.Last()->GetBodyA(), end);
    EXPECT_EQ(chain->_joint.Last()->GetBodyB(), chain->_body.Last());
    // Fixed anchors stay out of the space; their circles are in it.
    EXPECT_EQ(layer->spaceMap->CountBodies(), 19);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 20);
    EXPECT_EQ(ActiveShapes(*layer->spaceMap), 21);
    // It hangs: the anchors stay, the middle sags.
    Frame(120);
    ExpectVec(start->GetPosition(), p.Add(Vec2(112.0f, 0.0f)));
    ExpectVec(end->GetPosition(), p.Add(Vec2(-140.0f, 0.0f)));
    EXPECT_GT(Nth(chain->_body, 9)->GetPosition().y, p.y + 20.0f);
}

TEST_F(ChainTest, ModeTwoEndsInAFreeMassAndModeZeroFallsFreely) {
    const CPVect p = Vec2(600.0f, 200.0f);
    auto two = SpawnChain(layer, p, 2);
    EXPECT_EQ(two->_shape.Count(), 1 + 19); // only the fixed start anchor is visible
    EXPECT_EQ(layer->spaceMap->CountBodies(), 19 + 1);
    auto freeEnd = two->_joint.Last()->GetBodyA();
    EXPECT_FLOAT_EQ(freeEnd->GetMass(), 1.0f);
    ExpectVec(freeEnd->GetPosition(), p.Add(Vec2(-140.0f, 0.0f)));

    auto ignored = CPBody::Create(1.0f, 1.0f);
    auto zero = TChain::Create();
    zero->Init(layer, Vec2(600.0f, 400.0f), 0, ignored, ignored, 18, 2.0f, 7.0f, 1.0f, 100, 0.0f,
               0.05f);
    EXPECT_EQ(zero->_shape.Count(), 19);
    EXPECT_NE(zero->_joint.First()->GetBodyB(), ignored);
    EXPECT_NE(zero->_joint.Last()->GetBodyA(), ignored);
    EXPECT_EQ(layer->spaceMap->CountBodies(), 20 + 21);
    Frame(30);
    // Mode 2 swings below its fixed anchor; mode 0 falls as a whole.
    EXPECT_GT(freeEnd->GetPosition().y, p.y + 20.0f);
    ExpectVec(two->_shape.First()->GetBody()->GetPosition(), p.Add(Vec2(112.0f, 0.0f)));
    EXPECT_GT(zero->_joint.First()->GetBodyB()->GetPosition().y, 420.0f);
    EXPECT_GT(zero->_body.First()->GetPosition().y, 420.0f);
    ignored->Free();
}

TEST_F(ChainTest, ChainTiedToAStarOrToAFixedAnchorInItsPlace) {
    const CPVect p = Vec2(600.0f, 200.0f);
    auto star = SpawnStar(layer, Vec2(300.0f, 400.0f));
    auto tied = SpawnChain(layer, p, 1, 10, star->_body);
    EXPECT_EQ(tied->_body.Count(), 11);
    EXPECT_EQ(tied->_shape.Count(), 1 + 11);
    EXPECT_EQ(tied->_joint.Last()->GetBodyA(), star->_body);
    EXPECT_EQ(tied->_joint.Last()->GetBodyB(), tied->_body.Last());
    auto untied = SpawnChain(layer, p, 1, 10, nullptr);
    EXPECT_EQ(untied->_shape.Count(), 2 + 11);
    ExpectVec(Nth(untied->_shape, 1)->GetBody()->GetPosition(), p.Add(Vec2(-28.0f, 0.0f)));
    // The end joint pulls star and chain together.
    const float before = star->_body->GetPosition().Sub(tied->_body.Last()->GetPosition()).Length();
    Frame(60);
    const float after = star->_body->GetPosition().Sub(tied->_body.Last()->GetPosition()).Length();
    EXPECT_LT(after, before - 50.0f);
}

TEST_F(ChainTest, SingleLinkHasNoEndJoint) {
    auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), 1, 0);
    EXPECT_EQ(chain->_body.Count(), 1);
    EXPECT_EQ(chain->_joint.Count(), 1);
    EXPECT_EQ(chain->_shape.Count(), 2 + 1); // both fixed anchors are still made
    EXPECT_EQ(layer->spaceMap->CountJoints(), 1);
}

TEST_F(ChainTest, InnerJointsBreakOnlyAfterTwoSecondsOfStepsOnePerChainPerFrame) {
    StepsTo(*layer, 30);
    clock.Set(1000);
    auto a = SpawnChain(layer, Vec2(600.0f, 200.0f), 1);
    auto b = SpawnChain(layer, Vec2(600.0f, 500.0f), 1);
    EXPECT_EQ(a->_cycle, 30 + 360);
    // Pull two links out of chain a (four overstretched joints), one out of chain b (two);
    // drag the anchors away too: anchor joints never break.
    const auto pull = [&] {
        Nth(a->_body, 5)->SetPosition(Vec2(600.0f, 0.0f));
        Nth(a->_body, 12)->SetPosition(Vec2(900.0f, 0.0f));
        Nth(b->_body, 3)->SetPosition(Vec2(900.0f, 700.0f));
        a->_shape.First()->GetBody()->SetPosition(Vec2(50.0f, 50.0f));
        Nth(a->_shape, 1)->GetBody()->SetPosition(Vec2(1500.0f, 50.0f));
    };
    const int plays = SoundPlayCount();
    // The wall clock plays no part: a stall of an hour leaves the grace as it was.
    clock.Advance(3600 * 1000);
    StepsTo(*layer, 30 + 359);
    pull();
    TChain::UpdateAll();
    EXPECT_EQ(a->_joint.Count(), 20);
    EXPECT_EQ(SoundPlayCount(), plays);

    StepsTo(*layer, 30 + 360);
    pull();
    TChain::UpdateAll();
    EXPECT_EQ(a->_joint.Count(), 19);
    EXPECT_EQ(b->_joint.Count(), 19);
    EXPECT_EQ(SoundPlayCount(), plays + 2);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 38);
    for (int f = 0; f < 5; ++f) {
        TChain::UpdateAll();
    }
    EXPECT_EQ(a->_joint.Count(), 16);
    EXPECT_EQ(b->_joint.Count(), 18);
    EXPECT_EQ(SoundPlayCount(), plays + 6);
    // The anchor joints are still there, first and last.
    EXPECT_EQ(a->_joint.First()->GetBodyB(), a->_shape.First()->GetBody());
    EXPECT_EQ(a->_joint.Last()->GetBodyA(), Nth(a->_shape, 1)->GetBody());
    EXPECT_FALSE(a->_joint.First()->IsFreed());
}

// Two chains between fixed anchors and a stall of three seconds before the first frame, then
// slow frames: the chains contract during their grace, counted in steps, and stay whole.
TEST_F(ChainTest, SlowAndStalledFramesLeaveANewChainWhole) {
    auto a = SpawnChain(layer, Vec2(600.0f, 200.0f), 1);
    auto b = SpawnChain(layer, Vec2(600.0f, 400.0f), 1);
    clock.Advance(3000);
    for (int f = 0; f < 200; ++f) {
        Frame();
        clock.Advance(117);
    }
    EXPECT_EQ(a->_joint.Count() + b->_joint.Count(), 40);
}

// Chains made just below the clock's wrap (and the int overflow of TimeMs() + 2000 that once
// took their grace away) keep it all the same.
TEST_F(ChainTest, AChainMadeJustBeforeTheClockWrapsKeepsItsGrace) {
    for (std::uint32_t start : {0x7FFFFFFFu - 500u, 0xFFFFFFFFu - 500u}) {
        SCOPED_TRACE(start);
        clock.Set(start);
        auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), 1);
        Nth(chain->_body, 5)->SetPosition(Vec2(600.0f, 0.0f));
        clock.Advance(1000);
        TChain::UpdateAll();
        EXPECT_EQ(chain->_joint.Count(), 20);
        TChain::ClearAll();
    }
}

TEST_F(ChainTest, StarLeavingTheLevelTakesOnlyTheEndJointAway) {
    auto star = SpawnStar(layer, Vec2(300.0f, 300.0f));
    auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), 1, 10, star->_body);
    auto endJoint = chain->_joint.Last();
    star->_body->SetPosition(Vec2(-100.0f, 300.0f));
    UpdateAllBodies(); // the star's update finds it outside
    EXPECT_EQ(star->_life, 0);
    UpdateAllBodies(); // the star pass frees its body, and with it the end joint
    EXPECT_EQ(TStar::Count(), 0);
    EXPECT_TRUE(endJoint->IsFreed());
    EXPECT_EQ(chain->_joint.Count(), 12); // still listed: the grace time is not over
    Step();                               // the space goes on without it
    EXPECT_EQ(layer->spaceMap->CountJoints(), 11);
    StepsTo(*layer, static_cast<std::uint32_t>(chain->_cycle));
    TChain::UpdateAll();
    EXPECT_EQ(chain->_joint.Count(), 11);
    EXPECT_NE(chain->_joint.Last(), endJoint);
    // The chain goes on: its last inner joint can still break, its start joint never.
    const int plays = SoundPlayCount();
    chain->_body.Last()->SetPosition(Vec2(1200.0f, 700.0f));
    TChain::UpdateAll();
    EXPECT_EQ(chain->_joint.Count(), 10);
    EXPECT_EQ(SoundPlayCount(), plays + 1);
    chain->_shape.First()->GetBody()->SetPosition(Vec2(100.0f, 100.0f));
    TChain::UpdateAll();
    EXPECT_EQ(chain->_joint.Count(), 10);
    Frame(30);
    EXPECT_EQ(TChain::Count(), 1);
}

TEST_F(ChainTest, ChainTiedToAnAlreadyFreedBodyGoesOnWithoutItsEndJoint) {
    // The spawner may still hold the body of a star that has left the level.
    auto star = SpawnStar(layer, Vec2(300.0f, 300.0f));
    auto gone = star->_body;
    star->_life = 0;
    TStar::UpdateAll();
    ASSERT_TRUE(gone->IsFreed());
    auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), 1, 10, gone);
    EXPECT_TRUE(chain->_joint.Last()->IsFreed());
    EXPECT_EQ(layer->spaceMap->CountJoints(), 11);
    Frame(20); // settles within the grace time
    StepsTo(*layer, static_cast<std::uint32_t>(chain->_cycle));
    TChain::UpdateAll();
    EXPECT_EQ(chain->_joint.Count(), 11);
    EXPECT_FALSE(chain->_joint.Last()->IsFreed());
}

TEST_F(ChainTest, RemoveReleasesEverythingTheChainMade) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), mode, 18, nullptr, 0);
        std::vector<std::shared_ptr<CPBody>> anchors;
        for (auto& anchor : chain->_anchorBody) {
            anchors.push_back(anchor);
        }
        ASSERT_EQ(anchors.size(), 2u);
        TChain::UpdateAll(); // a chain made with life 0 is removed at once
        EXPECT_EQ(TChain::Count(), 0);
        EXPECT_EQ(layer->spaceMap->CountBodies(), 0);
        EXPECT_EQ(layer->spaceMap->CountJoints(), 0);
        EXPECT_EQ(ActiveShapes(*layer->spaceMap), 0);
        for (auto& anchor : anchors) {
            EXPECT_TRUE(anchor->IsFreed());
        }
        EXPECT_TRUE(chain->_body.First()->IsFreed());
        EXPECT_TRUE(chain->_joint.Last()->IsFreed());
    }
    // A body given as anchor belongs to someone else and stays.
    auto star = SpawnStar(layer, Vec2(300.0f, 300.0f));
    SpawnChain(layer, Vec2(600.0f, 200.0f), 1, 10, star->_body, 0);
    TChain::UpdateAll();
    EXPECT_FALSE(star->_body->IsFreed());
    EXPECT_EQ(layer->spaceMap->CountBodies(), 1);
    EXPECT_EQ(layer->spaceMap->CountJoints(), 0);
}

TEST_F(ChainTest, DrawsAnchorsUnderLinksAndRestoresTheState) {
    auto chain = SpawnChain(layer, Vec2(600.0f, 200.0f), 1);
    Cls();
    Record();
    TChain::UpdateAll();
    ASSERT_EQ(draws.size(), 21u);
    EXPECT_EQ(draws[0].image, anchorImage.get());
    EXPECT_EQ(draws[1].image, anchorImage.get());
    EXPECT_EQ(DrawsOf(linkImage), 19);
    ExpectDefaultDrawingState("chain");
    EXPECT_NE(ReadPixel(712, 200) & 0xFFFFFF00u, 0u);
}

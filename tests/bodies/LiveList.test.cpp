// The bodies' frame pass skips drawing balls, cubes and stars wholly outside the picture, and
// the picture stays exactly what it is when every body is drawn.

#include "bodies/LiveList.hpp"

#include <cstdint>
#include <vector>

#include "BodyTestSupport.hpp"
#include "media/Capture.hpp"
#include "media/Frame.hpp"

namespace {

class LiveListTest : public BodiesTest {
  protected:
    // One drawing pass of every body (no update: nothing moves between the two pictures).
    std::vector<std::uint8_t> Picture(bool cull, int& drawn) {
        bodiesCullOffPicture = cull;
        bodiesAdvance = false;
        Cls();
        Record();
        UpdateAllBodies();
        SetDrawRecording(nullptr);
        bodiesAdvance = true;
        drawn = static_cast<int>(draws.size());
        std::vector<std::uint8_t> rgba;
        int w = 0, h = 0;
        EXPECT_TRUE(ReadBackBuffer(rgba, w, h));
        return rgba;
    }
};

TEST_F(LiveListTest, BodiesOutsideThePictureAreSkippedAndThePictureStaysTheSame) {
    // The camera in the middle of the level, so bodies beyond every edge are still on it.
    layer->ScrollX = 500;
    layer->ScrollY = 200;
    const float left = 500.0f, top = 200.0f, right = left + 1024.0f, bottom = top + 768.0f;
    // Centres from far outside to just inside each edge, each kind turned by 45 degrees, where
    // its pictures reach farthest (a star's glow 45.3 px, a ball or cube 22.6 px).
    const float depths[] = {-60.0f, -47.0f, -46.0f, -44.0f, -24.0f, -23.0f, -21.0f, -8.0f, 5.0f};
    int serial = 0;
    for (float d : depths) {
        const CPVect at[] = {Vec2(left + d, 300.0f + 3.0f * d), Vec2(right - d, 500.0f),
                             Vec2(700.0f + 5.0f * d, top + d), Vec2(1200.0f, bottom - d)};
        for (CPVect p : at) {
            const int kind = serial++ % 3;
            std::shared_ptr<CPBody> body = kind == 0   ? SpawnBall(layer, p)->_body
                                           : kind == 1 ? SpawnCube(layer, p)->_body
                                                       : SpawnStar(layer, p)->_body;
            body->SetAngle(45.0f);
        }
    }
    // A new body's shapes take its place and angle at the first step; gravity off, so that
    // the step moves nothing.
    layer->spaceMap->SetGravity(ZeroVect);
    Step();
    int all = 0, culled = 0;
    const std::vector<std::uint8_t> every = Picture(false, all);
    const std::vector<std::uint8_t> skipping = Picture(true, culled);
    EXPECT_TRUE(every == skipping) << "culling changed the picture";
    EXPECT_LT(culled, all) << "nothing outside the picture was skipped";
    EXPECT_GT(culled, 0);
}

} // namespace

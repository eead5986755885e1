// The bodies' frame pass skips drawing balls, cubes and stars wholly outside the picture, and
// the picture stays exactly what it is when every body is drawn.

#include "bodies/LiveList.hpp"

#include <cstdint>
#include <vector>

#include "BodyTestSupport.hpp"
#include "media/frame/Frame.hpp"
#include "media/graphics/Capture.hpp"

namespace {

class LiveListTest : public BodiesTest {
  protected:
    // One drawing pass of every body (no update: nothing moves between the two pictures).
    std::vector<std::uint8_t> Picture(bool cull, int& drawn) {
        bodiesCullOffPicture = cull;
        Cls();
        Record();
        UpdateAllBodies({.advance = false});
        SetDrawRecording(nullptr);
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
    // Centres from far outside to just inside each edge a pixel apart, every kind at every
    // depth, turned by 45 degrees, where their pictures reach farthest (a star's glow 45.3 px, a
    // ball or cube 22.6 px).
    for (int d = -50; d <= 5; ++d) {
        const float f = static_cast<float>(d);
        const CPVect at[] = {Vec2(left + f, 260.0f - 8.0f * f), Vec2(right - f, 260.0f - 8.0f * f),
                             Vec2(560.0f - 8.0f * f, top + f), Vec2(560.0f - 8.0f * f, bottom - f)};
        for (CPVect p : at) {
            for (int kind = 0; kind < 3; ++kind) {
                std::shared_ptr<CPBody> body = kind == 0   ? SpawnBall(layer, p)->_body
                                               : kind == 1 ? SpawnCube(layer, p)->_body
                                                           : SpawnStar(layer, p)->_body;
                body->SetAngle(45.0f);
            }
        }
    }
    // No step: the pictures are drawn where the bodies were put (overlapping, which does not
    // matter to drawing).
    int all = 0, culled = 0;
    const std::vector<std::uint8_t> every = Picture(false, all);
    const std::vector<std::uint8_t> skipping = Picture(true, culled);
    EXPECT_TRUE(every == skipping) << "culling changed the picture";
    EXPECT_LT(culled, all) << "nothing outside the picture was skipped";
    EXPECT_GT(culled, 0);
}

} // namespace

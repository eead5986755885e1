#include "bodies/TCube.hpp"

#include "BodyTestSupport.hpp"

using CubeTest = BodiesTest;

TEST_F(CubeTest, InitBuildsA30PixelBox) {
    auto cube = SpawnCube(layer, Vec2(300.0f, 200.0f));
    EXPECT_EQ(TCube::Count(), 1);
    EXPECT_NEAR(cube->_body->GetMoment(), 75.0f, 1e-3f);
    EXPECT_EQ(cube->_shape->GetCollisionType(), 1);
    ASSERT_EQ(cube->_shape->GetVertCount(), 4);
    ExpectVec(cube->_shape->GetVert(0), Vec2(-15.0f, -15.0f));
    ExpectVec(cube->_shape->GetVert(1), Vec2(-15.0f, 15.0f));
    ExpectVec(cube->_shape->GetVert(2), Vec2(15.0f, 15.0f));
    EXPECT_EQ(dynamic_cast<TCube*>(static_cast<TObject*>(cube->_body->GetData())), cube.get());
}

TEST_F(CubeTest, OffLevelCubeIsRemovedInTheNextPass) {
    auto cube = SpawnCube(layer, Vec2(2100.0f, 200.0f));
    Record();
    TCube::UpdateAll();
    EXPECT_EQ(cube->_life, 0);
    EXPECT_EQ(DrawsOf(cubeImage), 1);
    TCube::UpdateAll();
    EXPECT_EQ(TCube::Count(), 0);
    EXPECT_TRUE(cube->_body->IsFreed());
    EXPECT_TRUE(cube->_shape->IsFreed());
}

TEST_F(CubeTest, DrawsTheCubeTurnedAtItsPositionAndRestoresTheState) {
    auto cube = SpawnCube(layer, Vec2(400.0f, 300.0f));
    cube->_body->SetAngle(45.0f);
    Cls();
    Record();
    TCube::UpdateAll();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].image, cubeImage.get());
    ExpectDefaultDrawingState("cube");
    // Turned by 45 degrees, the 32x32 picture reaches about 22 pixels out along the axes
    // but leaves the corners of the unturned square empty.
    EXPECT_NE(ReadPixel(400, 300) & 0xFFFFFF00u, 0u);
    EXPECT_NE(ReadPixel(400 + 19, 300) & 0xFFFFFF00u, 0u);
    EXPECT_EQ(ReadPixel(400 + 15, 300 + 15) & 0xFFFFFF00u, 0u);
}

#include "data/ExampleScenes.hpp"

#include <gtest/gtest.h>

#include <string>

#include "app/SceneDocument.hpp"
#include "support/GameFixture.hpp"

namespace {

class ExampleScenesTest : public GameFixture {
  protected:
    ExampleScenesTest() : GameFixture(1000u) {}
};

// Every example opens, and saving it at once gives back its file to the byte: the files are in
// the format the program writes now (make.py saves them again when the format changes).
TEST_F(ExampleScenesTest, EachOpensAndSavesAsItsFile) {
    ASSERT_EQ(ExampleScenes().size(), 6u);
    for (const ExampleScene& scene : ExampleScenes()) {
        SCOPED_TRACE(std::string(scene.name));
        std::string error;
        ASSERT_TRUE(OpenSceneText(scene.text, error)) << error;
        EXPECT_EQ(CurrentSceneText(), scene.text);
    }
}

} // namespace

#include "media/base/Embedded.hpp"

#include <gtest/gtest.h>

TEST(EmbeddedTest, NamesAreExactAndTheFirstRegistrationStays) {
    static const unsigned char first[] = {1, 2, 3};
    static const unsigned char second[] = {4, 5};
    EXPECT_EQ(RegisterEmbedded("test\\embedded\\a.bin", first, sizeof first), 1);
    EXPECT_EQ(RegisterEmbedded("test\\embedded\\a.bin", second, sizeof second), 0);
    auto found = OpenEmbedded("incbin::test\\embedded\\a.bin");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->data, first);
    EXPECT_EQ(found->size, 3u);
    EXPECT_FALSE(OpenEmbedded("test\\embedded\\a.bin"));
    EXPECT_FALSE(OpenEmbedded("incbin::test\\embedded\\A.bin"));
    EXPECT_FALSE(OpenEmbedded("incbin::test/embedded/a.bin"));
    EXPECT_FALSE(OpenEmbedded("incbin::test\\embedded\\a.bin "));
    EXPECT_EQ(RegisterEmbedded("test\\embedded\\A.bin", second, sizeof second), 1);
    EXPECT_EQ(OpenEmbedded("incbin::test\\embedded\\A.bin")->size, 2u);
}

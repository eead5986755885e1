#include "media/base/windows/WindowsStart.hpp"

#include <gtest/gtest.h>

#include <string>

// The test runs with an argument of its own in several scripts (tests/windows/Windows.cmake):
// it reaches the program as the UTF-8 it was typed in, whatever the system's code page.
TEST(WindowsStartTest, TheCommandLineArrivesAsUtf8) {
    const WindowsStart start;
    ASSERT_GE(start.Argc(), 1);
    EXPECT_EQ(start.Argv()[start.Argc()], nullptr);
    bool found = false;
    for (int i = 1; i < start.Argc(); ++i) {
        found = found || std::string(start.Argv()[i]) ==
                             "--dazozi-argument=Bilder \xc3\xa4 \xe7\x94\xbb \xf0\x9f\x8e\x88";
    }
    EXPECT_TRUE(found) << "the argument in several scripts did not arrive whole";
}

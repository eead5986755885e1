#include "media/frame/FrameLoop.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
[[noreturn]] void ThrowOnEnd() {
    throw std::runtime_error("end");
}
} // namespace

TEST(GraphicsEnd, EndProgramCallsTheHandler) {
    SetEndProgramHandler(ThrowOnEnd);
    EXPECT_THROW(EndProgram(), std::runtime_error);
    SetEndProgramHandler(nullptr);
}

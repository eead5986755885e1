#include "physics/ConvexSplit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace {

using Outline = std::vector<CPVect>;

// A closed spiral arm about `turns` round, `width` pixels thick: its outer edge out, its inner
// edge back.
Outline Spiral(int samples, double turns, double width) {
    Outline out, in;
    for (int i = 0; i < samples; ++i) {
        const double t = 2.0 * std::numbers::pi * turns * i / (samples - 1);
        const double r = 20.0 + 10.0 * t;
        out.push_back(Vec2(static_cast<float>((r + width) * std::cos(t)),
                           static_cast<float>((r + width) * std::sin(t))));
        in.push_back(
            Vec2(static_cast<float>(r * std::cos(t)), static_cast<float>(r * std::sin(t))));
    }
    out.insert(out.end(), in.rbegin(), in.rend());
    return out;
}

Outline Star(int points, double outer, double inner) {
    Outline star;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = std::numbers::pi * i / points;
        const double r = i % 2 == 0 ? outer : inner;
        star.push_back(
            Vec2(static_cast<float>(r * std::sin(a)), static_cast<float>(-r * std::cos(a))));
    }
    return star;
}

Outline Circle(int corners, double radius, double cx = 0.0, double cy = 0.0) {
    Outline circle;
    for (int i = 0; i < corners; ++i) {
        const double a = 2.0 * std::numbers::pi * i / corners;
        circle.push_back(Vec2(static_cast<float>(cx + radius * std::cos(a)),
                              static_cast<float>(cy + radius * std::sin(a))));
    }
    return circle;
}

// A comb: a spine 120 x 20 with five teeth 10 wide hanging 40 below it.
Outline Comb() {
    Outline comb{Vec2(0, 0), Vec2(120, 0), Vec2(120, 20)};
    for (int t = 4; t >= 0; --t) {
        const float x = 10.0f + 24.0f * static_cast<float>(t);
        comb.push_back(Vec2(x + 10, 20));
        comb.push_back(Vec2(x + 10, 60));
        comb.push_back(Vec2(x, 60));
        comb.push_back(Vec2(x, 20));
    }
    comb.push_back(Vec2(0, 20));
    return comb;
}

Outline Reversed(Outline o) {
    std::reverse(o.begin(), o.end());
    return o;
}

// Even-odd test of p against the closed outline.
bool Inside(CPVect p, const Outline& o) {
    bool in = false;
    for (std::size_t i = 0, j = o.size() - 1; i < o.size(); j = i++) {
        if ((o[i].y > p.y) != (o[j].y > p.y) &&
            p.x < (o[j].x - o[i].x) * (p.y - o[i].y) / (o[j].y - o[i].y) + o[i].x) {
            in = !in;
        }
    }
    return in;
}

struct Row {
    const char* name;
    Outline outline;
    OutlineFault fault;
    int maxPieces; // for accepted outlines: no more pieces than this
};

std::vector<Row> Rows() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    return {
        {"square", {Vec2(0, 0), Vec2(50, 0), Vec2(50, 50), Vec2(0, 50)}, OutlineFault::None, 1},
        {"L",
         {Vec2(0, 0), Vec2(60, 0), Vec2(60, 20), Vec2(20, 20), Vec2(20, 80), Vec2(0, 80)},
         OutlineFault::None,
         2},
        {"U",
         {Vec2(0, 0), Vec2(20, 0), Vec2(20, 60), Vec2(60, 60), Vec2(60, 0), Vec2(80, 0),
          Vec2(80, 80), Vec2(0, 80)},
         OutlineFault::None,
         3},
        {"star", Star(5, 60, 25), OutlineFault::None, 6},
        {"comb", Comb(), OutlineFault::None, 12},
        {"spiral", Spiral(15, 1.4, 14), OutlineFault::None, 28},
        {"collinear corners",
         {Vec2(0, 0), Vec2(25, 0), Vec2(50, 0), Vec2(50, 25), Vec2(50, 50), Vec2(10, 50),
          Vec2(0, 50), Vec2(0, 20)},
         OutlineFault::None,
         1},
        {"duplicate corners",
         {Vec2(0, 0), Vec2(0, 0), Vec2(60, 0), Vec2(60, 0), Vec2(30, 40), Vec2(0, 0)},
         OutlineFault::None,
         1},
        {"32-gon", Circle(32, 80), OutlineFault::None, 1},
        {"bowtie",
         {Vec2(0, 0), Vec2(40, 40), Vec2(40, 0), Vec2(0, 40)},
         OutlineFault::CrossesItself,
         0},
        {"pentagram",
         {Vec2(0, -50), Vec2(29, 40), Vec2(-48, -15), Vec2(48, -15), Vec2(-29, 40)},
         OutlineFault::CrossesItself,
         0},
        {"corner touching an edge",
         {Vec2(0, 0), Vec2(60, 0), Vec2(60, 60), Vec2(30, 0), Vec2(0, 60)},
         OutlineFault::CrossesItself,
         0},
        {"edge doubling back",
         {Vec2(0, 0), Vec2(50, 0), Vec2(50, 50), Vec2(50, 20), Vec2(0, 50)},
         OutlineFault::CrossesItself,
         0},
        {"2-px sliver",
         {Vec2(0, 0), Vec2(100, 0), Vec2(100, 2), Vec2(0, 2)},
         OutlineFault::TooThin,
         0},
        {"L of 2-px arms",
         {Vec2(0, 0), Vec2(60, 0), Vec2(60, 2), Vec2(2, 2), Vec2(2, 60), Vec2(0, 60)},
         OutlineFault::TooThin,
         0},
        // A 2-px step on a fat body is no thin piece: it splits into two fat ones.
        {"box with a 2-px step",
         {Vec2(0, 0), Vec2(60, 0), Vec2(60, 30), Vec2(32, 30), Vec2(32, 32), Vec2(0, 32)},
         OutlineFault::None,
         2},
        {"two corners", {Vec2(0, 0), Vec2(50, 50)}, OutlineFault::TooFewCorners, 0},
        {"all in a line",
         {Vec2(0, 0), Vec2(10, 0), Vec2(30, 0), Vec2(20, 0)},
         OutlineFault::CrossesItself,
         0},
        {"33-gon", Circle(33, 80), OutlineFault::TooManyCorners, 0},
        {"thousand corners", Circle(1000, 80), OutlineFault::TooManyCorners, 0},
        {"NaN corner", {Vec2(0, 0), Vec2(nan, 0), Vec2(50, 50)}, OutlineFault::NotFinite, 0},
        {"infinite corner", {Vec2(0, 0), Vec2(50, 0), Vec2(50, inf)}, OutlineFault::NotFinite, 0},
        {"speck", {Vec2(0, 0), Vec2(3, 0), Vec2(0, 3)}, OutlineFault::TooSmall, 0},
        {"huge",
         {Vec2(0, 0), Vec2(9000, 0), Vec2(9000, 100), Vec2(0, 100)},
         OutlineFault::TooLarge,
         0},
    };
}

TEST(ConvexSplit, ConcaveOutlinesSplitIntoConvexPiecesOfTheSameArea) {
    for (const Row& row : Rows()) {
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (reversed ? ", other winding" : ""));
            const Outline outline = reversed ? Reversed(row.outline) : row.outline;
            std::vector<std::vector<CPVect>> pieces{{Vec2(1, 1)}}; // cleared by the call
            const OutlineFault fault = SplitConvex(outline, pieces);
            EXPECT_EQ(fault, row.fault) << OutlineFaultText(fault);
            EXPECT_EQ(CheckOutline(outline) == OutlineFault::None,
                      row.fault == OutlineFault::None || row.fault == OutlineFault::TooThin);
            if (row.fault != OutlineFault::None) {
                EXPECT_TRUE(pieces.empty());
                continue;
            }
            ASSERT_FALSE(pieces.empty());
            EXPECT_LE(static_cast<int>(pieces.size()), row.maxPieces);
            double sum = 0.0;
            for (const auto& piece : pieces) {
                EXPECT_GE(piece.size(), 3u);
                EXPECT_TRUE(IsConvexOutline(piece));
                EXPECT_LT(SignedOutlineArea(piece), 0.0) << "the library's winding";
                EXPECT_GE(ConvexWidth(piece), kMinPieceWidth);
                EXPECT_TRUE(Inside(OutlineCentroid(piece), outline));
                for (const CPVect& v : piece) {
                    EXPECT_NE(std::find(outline.begin(), outline.end(), v), outline.end())
                        << "a corner of the outline";
                }
                sum += OutlineArea(piece);
            }
            EXPECT_NEAR(sum, OutlineArea(outline), 1e-3 * OutlineArea(outline));
        }
    }
}

TEST(ConvexSplit, FaultsHaveShortUserTexts) {
    EXPECT_STREQ(OutlineFaultText(OutlineFault::None), "");
    EXPECT_STREQ(OutlineFaultText(OutlineFault::CrossesItself), "crosses itself");
    EXPECT_STREQ(OutlineFaultText(OutlineFault::TooThin), "thinner than 4 px");
    for (OutlineFault f :
         {OutlineFault::TooFewCorners, OutlineFault::TooManyCorners, OutlineFault::NotFinite,
          OutlineFault::TooSmall, OutlineFault::TooLarge}) {
        EXPECT_GT(std::string(OutlineFaultText(f)).size(), 0u);
    }
}

TEST(ConvexSplit, AreaCentroidAndWidthOfSimpleShapes) {
    const Outline rect{Vec2(10, 10), Vec2(50, 10), Vec2(50, 30), Vec2(10, 30)};
    EXPECT_DOUBLE_EQ(OutlineArea(rect), 800.0);
    EXPECT_DOUBLE_EQ(OutlineArea(Reversed(rect)), 800.0);
    EXPECT_GT(SignedOutlineArea(rect), 0.0);
    EXPECT_FLOAT_EQ(OutlineCentroid(rect).x, 30.0f);
    EXPECT_FLOAT_EQ(OutlineCentroid(rect).y, 20.0f);
    EXPECT_DOUBLE_EQ(ConvexWidth(rect), 20.0);
    EXPECT_FALSE(IsConvexOutline(Star(5, 60, 25)));
}

TEST(SimplifyPath, AFreehandLoopKeepsItsCornersWithinTheBudget) {
    // A square traced with 50 samples a side: its four corners are what tells.
    Outline square;
    for (int i = 0; i < 200; ++i) {
        const float s = static_cast<float>(i % 50) * 2.0f;
        const int side = i / 50;
        square.push_back(side == 0   ? Vec2(s, 0)
                         : side == 1 ? Vec2(100, s)
                         : side == 2 ? Vec2(100 - s, 100)
                                     : Vec2(0, 100 - s));
    }
    const Outline corners = SimplifyPath(square);
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_NEAR(OutlineArea(corners), 10000.0, 1e-6);

    const Outline circle = Circle(500, 100, 300, 200);
    for (int budget : {32, 12, 3}) {
        SCOPED_TRACE(budget);
        const Outline thin = SimplifyPath(circle, budget);
        EXPECT_EQ(static_cast<int>(thin.size()), budget);
        // Kept points are the stroke's own, in its order.
        auto at = circle.begin();
        for (const CPVect& v : thin) {
            at = std::find(at, circle.end(), v);
            ASSERT_NE(at, circle.end());
        }
        std::vector<std::vector<CPVect>> pieces;
        EXPECT_EQ(SplitConvex(thin, pieces), OutlineFault::None);
    }
    // A loose tolerance keeps fewer than the budget.
    EXPECT_LT(SimplifyPath(circle, 32, 5.0).size(), 32u);
    EXPECT_EQ(SimplifyPath(Outline{Vec2(0, 0), Vec2(1, 1)}).size(), 2u);
}

} // namespace

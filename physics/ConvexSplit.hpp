#pragma once

#include <span>
#include <vector>

#include "physics/CPVect.hpp"

// Outlines a user draws, made fit for the physics library: checked, split into convex pieces,
// and freehand strokes thinned to a few corners. Pure geometry in pixels; nothing of the game.

// Why an outline cannot become a body (None: it can).
enum class OutlineFault {
    None,
    TooFewCorners,  // fewer than 3 distinct corners once repeats and straight runs are dropped
    TooManyCorners, // more than kMaxOutlineCorners corners
    NotFinite,      // a coordinate is NaN or infinite
    CrossesItself,  // two edges cross or touch, or an edge doubles back on the one before
    TooThin,        // a convex piece narrower than kMinPieceWidth
    TooSmall,       // encloses less than kMinOutlineArea
    TooLarge,       // wider or taller than kMaxOutlineExtent
};

// Corners an outline may have (after repeats and straight runs are dropped).
inline constexpr int kMaxOutlineCorners = 32;
// Most pieces an outline splits into (a triangle for each corner but two, at worst).
inline constexpr int kMaxConvexPieces = kMaxOutlineCorners - 2;
// Narrowest a convex piece may be (pixels): thinner ones tunnel and jitter.
inline constexpr double kMinPieceWidth = 4.0;
// Least area an outline may enclose (square pixels).
inline constexpr double kMinOutlineArea = 16.0;
// Widest or tallest an outline may be (pixels).
inline constexpr double kMaxOutlineExtent = 8192.0;

// A short user text for the fault, e.g. "crosses itself" ("" for None). Static storage.
const char* OutlineFaultText(OutlineFault fault);

// Splits the closed outline (either winding, the last corner joined to the first) into convex
// pieces whose areas add up to the outline's (to rounding). Each piece has at least 3 corners,
// no two in a line, wound with negative signed area as the physics library wants (the same
// winding as a cube's box). On a fault `pieces` is left empty. `pieces` is cleared first.
OutlineFault SplitConvex(std::span<const CPVect> outline, std::vector<std::vector<CPVect>>& pieces);

// The checks SplitConvex makes of the outline itself (not of its pieces): finite, corner count,
// size, not crossing itself. Cheap (n^2 in corners): fit for a preview at every frame.
OutlineFault CheckOutline(std::span<const CPVect> outline);

// The checks a convex piece (as SplitConvex makes them, or as a file gives them) must pass:
// finite, 3 to kMaxOutlineCorners corners, within kMaxOutlineExtent, convex with some area
// (CrossesItself when not), not thinner than kMinPieceWidth (TooThin). Repeated corners are
// refused rather than dropped: a piece is used as it is.
OutlineFault CheckConvexPiece(std::span<const CPVect> piece);

// A freehand stroke (pointer samples, taken as a closed loop) thinned to its telling corners: at
// most maxCorners (>= 3) of its own points, in their order, each dropped point within
// `tolerance` pixels of the kept outline when the corner budget allows. Fewer than 3 points come
// back as they are.
std::vector<CPVect> SimplifyPath(std::span<const CPVect> path, int maxCorners = kMaxOutlineCorners,
                                 double tolerance = 1.0);

// Area enclosed by the closed outline, square pixels, whatever its winding (>= 0).
double OutlineArea(std::span<const CPVect> outline);
// Signed area: negative for the winding the physics library wants (y down, as a cube's box).
double SignedOutlineArea(std::span<const CPVect> outline);
// Centre of the enclosed area (pixels); the mean of the corners when the area is zero.
CPVect OutlineCentroid(std::span<const CPVect> outline);
// True when the closed outline is convex (straight corners allowed), either winding.
bool IsConvexOutline(std::span<const CPVect> outline);
// Narrowest width of a convex outline (pixels): the least, over its edges, of the farthest
// corner's distance from that edge's line.
double ConvexWidth(std::span<const CPVect> convex);

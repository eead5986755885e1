#pragma once

#include <string>
#include <vector>

#include "scene/SceneFormat.hpp"

// What a scene read from a file or a link asks of the game, checked before anything in the game
// changes. Bodies deep in each other are each a contact the physics solves three times a frame
// (2,000 balls at one spot held a frame for minutes), and a body inside a solid cell falls out of
// the level, as the editor's refusal to paint a cell over a body keeps from happening in play.
class SceneFit {
  public:
    // Pairs of bodies deep in each other a scene may hold: this many, or one for each moving part
    // when there are more (a large pile squeezed by bodies poured into it holds some; its physics
    // costs in proportion to its parts already). Measured: 100 balls at one spot (4,950 pairs)
    // take 7 ms of processor time a frame over their first second, 2,000 (1,999,000) minutes.
    static constexpr long long kMinOverlapLimit = 5000;
    // Counting stops here: enough to tell how far past the limit a scene is.
    static constexpr long long kCountUpTo = 10'000'000;
    // The foreground's cells, pixels square.
    static constexpr int kCellSize = 24;
    // A body's centre this far inside a solid cell's sides is in it (one pressed against a wall
    // in a pile sinks in less).
    static constexpr double kSolidMargin = 6.0;

    // A body's part as the largest circle inside its shape (a tentacle segment's and a chain
    // link's off their body's centre), and the scene body it belongs to.
    struct Part {
        double x = 0.0, y = 0.0, radius = 0.0;
        int owner = 0;
    };

    // Every moving part of the scene's bodies. Pure.
    static std::vector<Part> PartsOf(const SceneFormat::Scene& scene);
    // Pairs of parts of different bodies whose circles overlap by more than half their radii,
    // counted up to kCountUpTo. Pure; a grid pass, linear in parts plus pairs counted.
    static long long CountOverlaps(const std::vector<Part>& parts);
    // The pairs deep in each other a scene of these parts may hold.
    static long long OverlapLimit(const std::vector<Part>& parts);
    // False with one line in error when the scene has more pairs of bodies deep in each other
    // than OverlapLimit, or a ball, cube, star or squid whose centre is inside one of its solid
    // foreground cells.
    static bool Check(const SceneFormat::Scene& scene, std::string& error);
};

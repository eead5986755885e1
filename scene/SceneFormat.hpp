#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/LevelData.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPVect.hpp"
#include "physics/ConvexSplit.hpp"

// A scene as plain data, and its file: the level's maps, every body with its exact physics state,
// the player, the scroll, the selected kind, the debug view and the pause. The text is JSON
// (docs/scene-format.md). Knows nothing of the running game: control/SceneBodies takes a scene
// from the game and builds one into it, so that the format can be read, checked and fuzzed alone.
class SceneFormat {
  public:
    static constexpr const char* kFormatName = "dazozi-redov-scene"; // the first field's key
    // Its value: grows by one whenever fields are added; every older version keeps opening.
    // 2 added "settings". 3 added drawn bodies (kind "drawn"), "joints", "camera" and the
    // broad phase in "settings".
    static constexpr int kVersion = 3;
    static constexpr std::size_t kMaxBytes = 16u * 1024u * 1024u; // larger files are refused
    static constexpr int kMaxBodies = 10000; // entries of "bodies" (a squid or a chain is one)
    static constexpr int kMaxParts = 60000;  // physics bodies in all (segments, links, anchors)
    static constexpr int kMaxLinks = 200;    // links of one chain
    static constexpr double kMaxCoordinate = 1e6; // |position| in pixels
    static constexpr double kMaxSpeed = 1e6;      // |velocity| in pixels/s, |spin| in rad/s
    static constexpr double kMaxAngle = 1e9;      // |angle| in radians (turning adds up)
    static constexpr int kMaxGrace = 360; // physics steps a new chain's joints hold unbroken
    static constexpr int kMaterials = 5;  // a drawn body's material is 0..kMaterials-1
    static constexpr int kMaxPieces = kMaxConvexPieces; // convex pieces of one drawn body
    static constexpr int kMaxJoints = 10000;            // entries of "joints"
    // Limits of a joint's numbers: a machine in a level never comes near them.
    static constexpr double kMaxJointLength = 4096.0; // pixels: lengths, anchors on a body
    static constexpr double kMaxMotorRate = 3600.0;   // degrees/s either way
    static constexpr double kMaxMotorTorque = 1e9;    // mass * pixels^2/s^2
    static constexpr double kMaxStiffness = 1e5;      // mass/s^2
    static constexpr double kMaxDamping = 1e4;        // mass/s
    static constexpr double kMaxBreakForce = 1e7;     // mass * pixels/s^2

    enum class Kind { Ball, Cube, Star, Squid, Player, Chain, Drawn };

    // One end of a chain: a fixed anchor (position only), a free one (a whole state), the body
    // of the star at index `star` of the scene's bodies, or nothing (the star it held left).
    struct Anchor {
        enum class Type { None, Fixed, Free, Star };
        Type type = Type::None;
        CPExactState state;
        int star = -1;
    };

    struct Body {
        Kind kind = Kind::Ball;
        CPExactState state;              // the body itself (not used by chains)
        std::vector<CPExactState> parts; // a squid's tentacle segments or a chain's links
        Anchor start, end;               // chains
        std::vector<int> broken;         // chains: inner joints broken, 1..links-1, ascending
        int grace = 0;                   // chains: physics steps before joints may break
        // Drawn bodies: the material's number, fixed or free, and either convex pieces in body
        // coordinates (pixels) or a circle's radius (pixels, > 0; then no pieces).
        int material = 0;
        bool fixed = false;
        std::vector<std::vector<CPVect>> pieces;
        double radius = 0.0;
    };

    // A machine joint between two bodies of the scene, or a body and the level.
    enum class JointKind { Hinge, Motor, Spring, Rope, Weld };
    struct JointEnd {
        int body = -1; // index in bodies; -1: the level
        int part = -1; // a squid's tentacle segment or a chain's link; -1: the body itself
        // The anchor: in the body's (or part's) own coordinates, in the level's for the level.
        double x = 0.0, y = 0.0;
        bool operator==(const JointEnd&) const = default;
    };
    struct Joint {
        JointKind kind = JointKind::Hinge;
        JointEnd a, b;
        double breakForce = 0.0; // 0: never breaks
        double length = 0.0;     // spring: rest length; rope: the most (pixels)
        double rate = 0.0;       // motor: degrees/s of a against b
        double torque = 0.0;     // motor: the most it uses
        bool on = false;         // motor: drives (else turns freely)
        double stiffness = 0.0;  // spring
        double damping = 0.0;    // spring
        double angle = 0.0;      // weld: b's angle minus a's it holds, degrees
        bool operator==(const Joint&) const = default;
    };

    // The settings panel's values. The ranges are the panel's.
    struct Settings {
        int gravity = 0;          // pixels/s^2, downwards, 0..kMaxGravity
        int iterations = 1;       // solver iterations per step, 1..kMaxIterations
        int subSteps = 1;         // physics steps per frame, 1..kMaxSubSteps
        bool sleeping = false;    // resting bodies go to sleep
        int timeScaleEighths = 8; // eighths of full speed: 1, 2, 4, 8, 16 or 32
        bool tree = false; // the library's bounding-box tree; false: the level's spatial hash
    };
    static constexpr int kMaxGravity = 3000;
    static constexpr int kMaxIterations = 50;
    static constexpr int kMaxSubSteps = 12;

    // How the scene was looked at: the zoom's step (the zoom is 2^(step / 4)), the view's
    // top-left corner in world pixels (left of or above the level when zoomed out), and whether
    // the view follows the player or stays where the user put it.
    struct Camera {
        int zoomStep = 0; // kMinZoomStep..kMaxZoomStep
        int x = 0, y = 0; // |x|, |y| <= kMaxCameraPlace
        bool following = true;
    };
    static constexpr int kMinZoomStep = -8;
    static constexpr int kMaxZoomStep = 8;
    static constexpr int kMaxCameraPlace = 1'000'000;

    struct Scene {
        IntGrid foregroundTiles, foregroundEdges, backgroundTiles; // [row][column]
        std::vector<Body> bodies; // balls, cubes, stars, squids, chains, drawn: each in its order
        int scrollX = 0, scrollY = 0; // the foreground's scroll, pixels
        int selected = 0;             // spawn kind 0..8
        bool debugView = false;
        bool paused = false;
        // Files of version 1 hold no settings: the level's own then apply.
        bool hasSettings = false;
        Settings settings;
        std::vector<Joint> joints; // in the order they were made (the newest last)
        // Files before version 3, and scenes looked at from the start's camera (zoom 1,
        // following), hold no camera.
        bool hasCamera = false;
        Camera camera;
    };

    // The scene's file text: the format's first field, maps one row a line, a body a line,
    // numbers that read back as the same doubles; ends with a newline.
    static std::string Write(const Scene& scene);
    // Reads and checks text against level 0's content (its maps' sizes and cell kinds; needs
    // CreateLevelData, nothing else: a file can be checked before the window opens). On a fault
    // returns false with error set to one line naming what and where (scene half filled).
    static bool Read(std::string_view text, Scene& scene, std::string& error);
    // The kind's name in files ("ball", ..., "chain", "drawn"). Pure.
    static const char* KindName(Kind kind);
    // The joint kind's name in files ("hinge", "motor", "spring", "rope", "weld"). Pure.
    static const char* JointKindName(JointKind kind);
};

#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "scene/SceneFormat.hpp"

class CPBody;
class TControl;
class TChain;
class TLevel;
class TSandbox;
class TSettings;
class TSquid;

// Between the running game and a scene as data (scene/SceneFormat): Capture reads the game into
// a scene, Apply builds a scene into the game. Each body class has its capture and apply pair,
// listed in one table in the classes' order, so that a class is taken up in one row.
class SceneBodies {
  public:
    // What a class's capture adds to. Non-owning; lives for one Capture.
    struct Capturing {
        SceneFormat::Scene& scene;
        const TControl& control;
        int firstStar = 0;                // index in scene.bodies of the first star
        std::vector<const CPBody*> stars; // the stars' bodies, in their order
        // Every captured physics body with its place in the scene (index in scene.bodies, part
        // or -1), for the joints that name them.
        std::vector<std::pair<const CPBody*, std::pair<int, int>>> places;
    };
    // What a class's apply builds with. Non-owning; lives for one Apply.
    struct Applying {
        TControl& control;
        std::vector<std::shared_ptr<CPBody>> made;   // main body of each scene body so far
        std::vector<std::pair<TChain*, int>> graces; // chains made and their steps of grace
        std::shared_ptr<TSquid> player;              // the player squid, once made
        // Tentacle segments or chain links of each scene body so far (empty for the others).
        std::vector<std::vector<std::shared_ptr<CPBody>>> parts;
    };

    // Appends one class's live bodies (dead ones are gone by the next frame: not captured) to
    // the scene, in the class's own order.
    static void CaptureBalls(Capturing& at);
    static void CaptureCubes(Capturing& at);
    static void CaptureStars(Capturing& at);
    static void CaptureSquids(Capturing& at); // the control's player as "player"
    static void CaptureChains(Capturing& at); // after the stars they may be tied to
    static void CaptureDrawn(Capturing& at);
    // Appends every intact machine joint between captured bodies or the level, oldest first;
    // after every body class.
    static void CaptureJoints(Capturing& at, const CPBody* level);
    // Makes one scene body of the class in the game, in its saved state; returns its main body
    // (nothing for a chain), which a chain tied to a star finds by the star's index.
    static std::shared_ptr<CPBody> ApplyBall(const SceneFormat::Body& body, Applying& at);
    static std::shared_ptr<CPBody> ApplyCube(const SceneFormat::Body& body, Applying& at);
    static std::shared_ptr<CPBody> ApplyStar(const SceneFormat::Body& body, Applying& at);
    static std::shared_ptr<CPBody> ApplySquid(const SceneFormat::Body& body, Applying& at);
    static std::shared_ptr<CPBody> ApplyChain(const SceneFormat::Body& body, Applying& at);
    // A drawn body the file's pieces or radius describe (checked when read).
    static std::shared_ptr<CPBody> ApplyDrawn(const SceneFormat::Body& body, Applying& at);

    // One scene body made in the game as Apply makes it, its chain's grace counted from now;
    // returns its key body (its main body, a chain's first link; nullptr when none was made).
    // A chain's end tied to a star finds it in at.made by the star's index (none when out of it).
    static std::shared_ptr<CPBody> ApplyOne(const SceneFormat::Body& body, Applying& at);
    // A chain's entry alone, an end tied to a star naming it by its index in stars.
    static SceneFormat::Body CaptureChain(TChain& chain, const std::vector<const CPBody*>& stars);
    // Makes the scene's joints between the bodies Apply made (or the level), in their order.
    static void ApplyJoints(const SceneFormat::Scene& scene, const Applying& at, TLevel& level);

    // The running scene: level's maps and scroll, every live body of every class, control's
    // player, kind and debug view, sandbox's pause, the settings panel's values. Reads only.
    static SceneFormat::Scene Capture(const TLevel& level, const TControl& control,
                                      const TSandbox& sandbox, const TSettings& settings);
    // Builds a scene SceneFormat::Read accepted into the running game, whose bodies must have
    // been cleared before: cells, bodies in order, kind, debug view, pause, scroll, and the
    // settings (the level's own for a scene without them). Returns the player squid (one already
    // removed when the scene has none); the caller makes it the player.
    static std::shared_ptr<TSquid> Apply(const SceneFormat::Scene& scene, TLevel& level,
                                         TControl& control, TSandbox& sandbox, TSettings& settings);
};

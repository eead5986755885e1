#include "control/SceneBodies.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

static_assert(SceneFormat::kMaxGrace == static_cast<int>(TChain::kGraceSteps),
              "a file's grace is counted in the chains' own steps");
static_assert(SceneFormat::kMaxGravity == TSettings::kGravityMax &&
                  SceneFormat::kMaxIterations == TSettings::kIterationsMax &&
                  SceneFormat::kMaxSubSteps == TSettings::kSubStepsMax,
              "a file's settings are the panel's");

namespace {

using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;
using Body = SceneFormat::Body;

// Every anchor stands this far right of the point its chain was asked for.
constexpr float kAnchorShift = 112.0f;

// One body class: how its live bodies go into a scene and how a scene body of its kinds comes
// back. Rows in the scene's order of classes (balls, cubes, stars, squids, chains).
struct ClassRow {
    Kind kinds[2]; // the kinds the class makes (the same twice when one)
    void (*capture)(SceneBodies::Capturing&);
    std::shared_ptr<CPBody> (*apply)(const Body&, SceneBodies::Applying&);
};
const ClassRow kClasses[] = {
    {{Kind::Ball, Kind::Ball}, &SceneBodies::CaptureBalls, &SceneBodies::ApplyBall},
    {{Kind::Cube, Kind::Cube}, &SceneBodies::CaptureCubes, &SceneBodies::ApplyCube},
    {{Kind::Star, Kind::Star}, &SceneBodies::CaptureStars, &SceneBodies::ApplyStar},
    {{Kind::Squid, Kind::Player}, &SceneBodies::CaptureSquids, &SceneBodies::ApplySquid},
    {{Kind::Chain, Kind::Chain}, &SceneBodies::CaptureChains, &SceneBodies::ApplyChain},
};

const ClassRow& rowOf(Kind kind) {
    for (const ClassRow& row : kClasses) {
        if (row.kinds[0] == kind || row.kinds[1] == kind) {
            return row;
        }
    }
    return kClasses[0]; // every kind has its row
}

// ---- Capturing --------------------------------------------------------------------------

template <class T, class Visit> void forEachLive(TList<std::shared_ptr<T>>* list, Visit visit) {
    if (list == nullptr) {
        return;
    }
    auto walk = list->ObjectEnumerator();
    while (walk.HasNext()) {
        const std::shared_ptr<T>& object = walk.NextObject();
        // A dead one is gone from the next frame on: it is not part of the scene.
        if (object && object->_life != 0) {
            visit(*object);
        }
    }
}

std::vector<CPExactState> statesOf(TList<std::shared_ptr<CPBody>>& bodies) {
    std::vector<CPExactState> states;
    auto walk = bodies.ObjectEnumerator();
    while (walk.HasNext()) {
        if (const auto& body = walk.NextObject()) {
            states.push_back(body->GetExactState());
        }
    }
    return states;
}

bool live(const CPJoint* joint) {
    return joint != nullptr && !joint->IsFreed();
}

Body captureChain(TChain& chain, const std::vector<const CPBody*>& stars, int firstStar) {
    Body body;
    body.kind = Kind::Chain;
    body.parts = statesOf(chain._body);
    std::vector<const CPBody*> links;
    auto walkLinks = chain._body.ObjectEnumerator();
    while (walkLinks.HasNext()) {
        links.push_back(walkLinks.NextObject().get());
    }
    std::vector<const CPBody*> own;
    auto walkAnchors = chain._anchorBody.ObjectEnumerator();
    while (walkAnchors.HasNext()) {
        own.push_back(walkAnchors.NextObject().get());
    }
    // An anchor the chain made itself is fixed (infinite mass) or free; any other is a star's,
    // and a star on its way out (dead, not yet removed) holds nothing any more.
    auto anchorOf = [&](const CPBody* anchor) {
        Anchor a;
        if (std::find(own.begin(), own.end(), anchor) != own.end()) {
            a.state = anchor->GetExactState();
            if (std::isinf(anchor->GetMass())) {
                a.type = Anchor::Type::Fixed;
                a.state = CPExactState{a.state.x, a.state.y};
            } else {
                a.type = Anchor::Type::Free;
            }
        } else if (const auto star = std::find(stars.begin(), stars.end(), anchor);
                   star != stars.end()) {
            a.type = Anchor::Type::Star;
            a.star = firstStar + static_cast<int>(star - stars.begin());
        }
        return a;
    };
    if (live(chain._startJoint)) {
        body.start = anchorOf(chain._startJoint->GetBodyB().get());
    }
    if (live(chain._endJoint)) {
        body.end = anchorOf(chain._endJoint->GetBodyA().get());
    }
    // Inner joint i holds link i to link i - 1; those no longer listed (or freed) are broken.
    std::vector<bool> whole(links.size(), false);
    auto joints = chain._joint.ObjectEnumerator();
    while (joints.HasNext()) {
        const auto& joint = joints.NextObject();
        if (!joint || joint->IsFreed() || joint.get() == chain._startJoint ||
            joint.get() == chain._endJoint) {
            continue;
        }
        const auto at = std::find(links.begin(), links.end(), joint->GetBodyA().get());
        if (at != links.end()) {
            whole[static_cast<std::size_t>(at - links.begin())] = true;
        }
    }
    for (std::size_t i = 1; i < links.size(); ++i) {
        if (!whole[i]) {
            body.broken.push_back(static_cast<int>(i));
        }
    }
    const auto left = static_cast<std::int32_t>(static_cast<std::uint32_t>(chain._cycle) -
                                                TChain::layer->spaceMap->StepsTaken());
    body.grace = std::clamp<std::int32_t>(left, 0, static_cast<std::int32_t>(TChain::kGraceSteps));
    return body;
}

void captureSimple(SceneBodies::Capturing& at, Kind kind, const std::shared_ptr<CPBody>& b) {
    Body body;
    body.kind = kind;
    body.state = b->GetExactState();
    at.scene.bodies.push_back(std::move(body));
}

// ---- Applying ---------------------------------------------------------------------------

template <class T> T& newest(const std::unique_ptr<TList<std::shared_ptr<T>>>& list) {
    return *list->Last();
}

void setStates(TList<std::shared_ptr<CPBody>>& bodies, const std::vector<CPExactState>& states) {
    std::size_t i = 0;
    auto walk = bodies.ObjectEnumerator();
    while (walk.HasNext() && i < states.size()) {
        if (const auto& body = walk.NextObject()) {
            body->SetExactState(states[i++]);
        }
    }
}

CPVect asVect(const CPExactState& s) {
    return Vec2(static_cast<float>(s.x), static_cast<float>(s.y));
}

} // namespace

void SceneBodies::CaptureBalls(Capturing& at) {
    forEachLive(TBall::liveList.get(),
                [&](TBall& ball) { captureSimple(at, Kind::Ball, ball._body); });
}

void SceneBodies::CaptureCubes(Capturing& at) {
    forEachLive(TCube::liveList.get(),
                [&](TCube& cube) { captureSimple(at, Kind::Cube, cube._body); });
}

void SceneBodies::CaptureStars(Capturing& at) {
    at.firstStar = static_cast<int>(at.scene.bodies.size());
    forEachLive(TStar::liveList.get(), [&](TStar& star) {
        captureSimple(at, Kind::Star, star._body);
        at.stars.push_back(star._body.get());
    });
}

void SceneBodies::CaptureSquids(Capturing& at) {
    forEachLive(TSquid::liveList.get(), [&](TSquid& squid) {
        if (squid.IsRemoved()) {
            return;
        }
        Body body;
        body.kind = &squid == at.control.player.get() ? Kind::Player : Kind::Squid;
        body.state = squid._body->GetExactState();
        if (squid._tentacle) {
            body.parts = statesOf(squid._tentacle->_bodyRect);
        }
        at.scene.bodies.push_back(std::move(body));
    });
}

void SceneBodies::CaptureChains(Capturing& at) {
    forEachLive(TChain::liveList.get(), [&](TChain& chain) {
        at.scene.bodies.push_back(captureChain(chain, at.stars, at.firstStar));
    });
}

std::shared_ptr<CPBody> SceneBodies::ApplyBall(const Body& body, Applying& at) {
    at.control.spawnAt(1, asVect(body.state));
    return newest(TBall::liveList)._body;
}

std::shared_ptr<CPBody> SceneBodies::ApplyCube(const Body& body, Applying& at) {
    at.control.spawnAt(2, asVect(body.state));
    return newest(TCube::liveList)._body;
}

std::shared_ptr<CPBody> SceneBodies::ApplyStar(const Body& body, Applying& at) {
    at.control.spawnAt(3, asVect(body.state));
    return newest(TStar::liveList)._body;
}

std::shared_ptr<CPBody> SceneBodies::ApplySquid(const Body& body, Applying& at) {
    const CPVect p = asVect(body.state);
    std::shared_ptr<TSquid> squid;
    if (body.kind == Kind::Player) {
        squid = at.player = at.control.createPlayer(p);
    } else {
        at.control.spawnAt(4, p);
        squid = TSquid::liveList->Last();
    }
    setStates(squid->_tentacle->_bodyRect, body.parts);
    return squid->_body;
}

std::shared_ptr<CPBody> SceneBodies::ApplyChain(const Body& body, Applying& at) {
    using T = Anchor::Type;
    TControl& control = at.control;
    const int mode = body.start.type == T::Free ? 0 : body.end.type == T::Free ? 2 : 1;
    // The chain is laid out from its start anchor's point, as a spawn would; every state is then
    // put back as saved.
    const CPVect p = asVect(body.start.state).Sub(Vec2(kAnchorShift, 0.0f));
    std::shared_ptr<CPBody> end;
    if (body.end.type == T::Star) {
        end = at.made[static_cast<std::size_t>(body.end.star)];
    } else if (body.end.type == T::None) {
        // The star the end was tied to is gone: a stand-in takes its place and goes again,
        // taking the end joint with it, as the star's leaving did.
        end = CPBody::Create(INFINITY, INFINITY);
    }
    control.spawnChain(p, mode, end, static_cast<int>(body.parts.size()) - 1);
    TChain& chain = newest(TChain::liveList);
    if (body.end.type == T::None) {
        end->Free();
    }
    setStates(chain._body, body.parts);
    if (chain._startJoint != nullptr) {
        chain._startJoint->GetBodyB()->SetExactState(body.start.state);
    }
    if (live(chain._endJoint) && (body.end.type == T::Fixed || body.end.type == T::Free)) {
        chain._endJoint->GetBodyA()->SetExactState(body.end.state);
    }
    if (!body.broken.empty()) {
        std::vector<const CPBody*> links;
        auto walkLinks = chain._body.ObjectEnumerator();
        while (walkLinks.HasNext()) {
            links.push_back(walkLinks.NextObject().get());
        }
        for (int i : body.broken) {
            const CPBody* link = links[static_cast<std::size_t>(i)];
            auto joints = chain._joint.ObjectEnumerator();
            while (joints.HasNext()) {
                const std::shared_ptr<CPSlideJoint> joint = joints.NextObject();
                if (joint && joint.get() != chain._startJoint && joint.get() != chain._endJoint &&
                    joint->GetBodyA().get() == link) {
                    chain._joint.Remove(joint);
                    joint->Free();
                    break;
                }
            }
        }
    }
    // The chains' grace counts in the space's steps from the end of the opening on.
    at.graces.emplace_back(&chain, body.grace);
    return nullptr;
}

SceneFormat::Scene SceneBodies::Capture(const TLevel& level, const TControl& control,
                                        const TSandbox& sandbox, const TSettings& settings) {
    SceneFormat::Scene scene;
    const TLayer& fg = *level._FGLayer;
    scene.foregroundTiles = fg.MapData;
    scene.foregroundEdges = fg.BoundMap;
    scene.backgroundTiles = level._BGLayer->MapData;
    scene.scrollX = fg.ScrollX;
    scene.scrollY = fg.ScrollY;
    scene.selected = control.currentObject;
    scene.debugView = control.debugMode == 1;
    scene.paused = sandbox.paused;
    scene.hasSettings = true;
    scene.settings = {settings.gravity,
                      settings.iterations,
                      settings.subSteps,
                      settings.sleeping,
                      TSettings::kScaleEighths[settings.scale],
                      settings.tree};
    Capturing at{scene, control, 0, {}};
    for (const ClassRow& row : kClasses) {
        row.capture(at);
    }
    return scene;
}

std::shared_ptr<TSquid> SceneBodies::Apply(const SceneFormat::Scene& scene, TLevel& level,
                                           TControl& control, TSandbox& sandbox,
                                           TSettings& settings) {
    TLayer& fg = *level._FGLayer;
    for (int r = 0; r < fg.MapH; ++r) {
        for (int c = 0; c < fg.MapW; ++c) {
            const auto rr = static_cast<std::size_t>(r), cc = static_cast<std::size_t>(c);
            fg.SetCell(c, r, scene.foregroundTiles[rr][cc], scene.foregroundEdges[rr][cc]);
        }
    }
    level._BGLayer->MapData = scene.backgroundTiles;

    Applying at{control, {}, {}, nullptr};
    at.made.reserve(scene.bodies.size());
    for (const Body& body : scene.bodies) {
        std::shared_ptr<CPBody> main = rowOf(body.kind).apply(body, at);
        if (main) {
            main->SetExactState(body.state);
        }
        at.made.push_back(std::move(main));
    }
    CPSpace& space = *fg.spaceMap;
    for (const auto& [chain, grace] : at.graces) {
        chain->_cycle = static_cast<int>(space.StepsTaken() + static_cast<std::uint32_t>(grace));
    }
    std::shared_ptr<TSquid> player = at.player;
    if (!player) {
        // No player in the scene: it has left the level, as it may in play.
        player = TSquid::Create();
    }

    if (scene.hasSettings) {
        const SceneFormat::Settings& s = scene.settings;
        const auto eighths = std::find(std::begin(TSettings::kScaleEighths),
                                       std::end(TSettings::kScaleEighths), s.timeScaleEighths);
        const int scale = eighths == std::end(TSettings::kScaleEighths)
                              ? TSettings::kFullSpeed
                              : static_cast<int>(eighths - std::begin(TSettings::kScaleEighths));
        settings.Set(s.gravity, s.iterations, s.subSteps, s.sleeping, scale, s.tree);
    } else {
        settings.ResetToDefaults();
    }
    control.currentObject = scene.selected;
    control.debugMode = scene.debugView ? 1 : -1;
    sandbox.paused = scene.paused;
    level.Follow(Vec2(static_cast<float>(scene.scrollX), static_cast<float>(scene.scrollY)));
    return player;
}

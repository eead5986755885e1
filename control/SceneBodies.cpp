#include "control/SceneBodies.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TMachineJoint.hpp"
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
static_assert(SceneFormat::kMaterials == kMaterialCount, "a file's materials are the game's");
static_assert(SceneFormat::kMaxGravity == TSettings::kGravityMax &&
                  SceneFormat::kMaxIterations == TSettings::kIterationsMax &&
                  SceneFormat::kMaxSubSteps == TSettings::kSubStepsMax,
              "a file's settings are the panel's");

static_assert(SceneFormat::kMaxJointLength == TMachineJoint::kMaxLength &&
                  SceneFormat::kMaxMotorRate == TMachineJoint::kMaxMotorRate &&
                  SceneFormat::kMaxMotorTorque == TMachineJoint::kMaxMotorTorque &&
                  SceneFormat::kMaxStiffness == TMachineJoint::kMaxStiffness &&
                  SceneFormat::kMaxDamping == TMachineJoint::kMaxDamping &&
                  SceneFormat::kMaxBreakForce == TMachineJoint::kMaxBreakForce,
              "a file's joints are the game's");
static_assert(
    static_cast<int>(SceneFormat::JointKind::Hinge) == static_cast<int>(JointKind::Hinge) &&
        static_cast<int>(SceneFormat::JointKind::Motor) == static_cast<int>(JointKind::Motor) &&
        static_cast<int>(SceneFormat::JointKind::Spring) == static_cast<int>(JointKind::Spring) &&
        static_cast<int>(SceneFormat::JointKind::Rope) == static_cast<int>(JointKind::Rope) &&
        static_cast<int>(SceneFormat::JointKind::Weld) == static_cast<int>(JointKind::Weld),
    "joint kinds are numbered alike in files and in the game");

namespace {

using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;
using Body = SceneFormat::Body;

// Every anchor stands this far right of the point its chain was asked for.
constexpr float kAnchorShift = 112.0f;

// One body class: how its live bodies go into a scene and how a scene body of its kinds comes
// back. Rows in the scene's order of classes (balls, cubes, stars, squids, chains, drawn).
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
    {{Kind::Drawn, Kind::Drawn}, &SceneBodies::CaptureDrawn, &SceneBodies::ApplyDrawn},
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

// Notes where each body of the scene body about to be appended lies, for the joints.
void notePlaces(SceneBodies::Capturing& at, const CPBody* main,
                TList<std::shared_ptr<CPBody>>* parts) {
    const int index = static_cast<int>(at.scene.bodies.size());
    if (main != nullptr) {
        at.places.push_back({main, {index, -1}});
    }
    if (parts != nullptr) {
        int part = 0;
        auto walk = parts->ObjectEnumerator();
        while (walk.HasNext()) {
            if (const auto& body = walk.NextObject()) {
                at.places.push_back({body.get(), {index, part++}});
            }
        }
    }
}

void captureSimple(SceneBodies::Capturing& at, Kind kind, const std::shared_ptr<CPBody>& b) {
    notePlaces(at, b.get(), nullptr);
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

std::vector<std::shared_ptr<CPBody>> partsOf(TList<std::shared_ptr<CPBody>>& bodies) {
    std::vector<std::shared_ptr<CPBody>> parts;
    auto walk = bodies.ObjectEnumerator();
    while (walk.HasNext()) {
        if (const auto& body = walk.NextObject()) {
            parts.push_back(body);
        }
    }
    return parts;
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
        notePlaces(at, squid._body.get(), squid._tentacle ? &squid._tentacle->_bodyRect : nullptr);
        if (squid._tentacle) {
            body.parts = statesOf(squid._tentacle->_bodyRect);
        }
        at.scene.bodies.push_back(std::move(body));
    });
}

void SceneBodies::CaptureChains(Capturing& at) {
    forEachLive(TChain::liveList.get(), [&](TChain& chain) {
        notePlaces(at, nullptr, &chain._body);
        Body body = captureChain(chain, at.stars, at.firstStar);
        // Its own anchors follow its links as parts, where the file keeps them (a star's is the
        // star's; an end let go is in no file).
        const int index = static_cast<int>(at.scene.bodies.size());
        const auto links = static_cast<int>(body.parts.size());
        if (body.start.type == Anchor::Type::Fixed || body.start.type == Anchor::Type::Free) {
            at.places.push_back({chain._startJoint->GetBodyB().get(), {index, links}});
        }
        if (body.end.type == Anchor::Type::Fixed || body.end.type == Anchor::Type::Free) {
            at.places.push_back({chain._endJoint->GetBodyA().get(), {index, links + 1}});
        }
        at.scene.bodies.push_back(std::move(body));
    });
}

void SceneBodies::CaptureDrawn(Capturing& at) {
    forEachLive(TDrawn::liveList.get(), [&](TDrawn& drawn) {
        Body body;
        body.kind = Kind::Drawn;
        body.state = drawn._body->GetExactState();
        body.material = static_cast<int>(drawn.material());
        body.fixed = drawn.fixed();
        body.pieces = drawn.Pieces();
        body.radius = drawn.Radius();
        notePlaces(at, drawn._body.get(), nullptr); // joints find a drawn body by its index
        at.scene.bodies.push_back(std::move(body));
    });
}

void SceneBodies::CaptureJoints(Capturing& at, const CPBody* level) {
    auto endOf = [&](const std::shared_ptr<CPBody>& body, CPVect anchor,
                     SceneFormat::JointEnd& end) {
        end.x = anchor.x;
        end.y = anchor.y;
        if (body.get() == level) {
            // The level's body stands at the origin unturned: its anchors are level points.
            const CPVect p = body->LocalToWorld(anchor);
            end.x = p.x;
            end.y = p.y;
            return true;
        }
        for (const auto& [captured, place] : at.places) {
            if (captured == body.get()) {
                end.body = place.first;
                end.part = place.second;
                return true;
            }
        }
        return false; // a body the scene does not hold (a star's chain end let go)
    };
    forEachLive(TMachineJoint::liveList.get(), [&](TMachineJoint& joint) {
        if (!joint.IsIntact()) {
            return;
        }
        SceneFormat::Joint j;
        const TMachineJoint::Params& k = joint._params;
        j.kind = static_cast<SceneFormat::JointKind>(static_cast<int>(k.kind));
        if (!endOf(joint._bodyA, joint._anchorA, j.a) ||
            !endOf(joint._bodyB, joint._anchorB, j.b)) {
            return;
        }
        j.breakForce = k.breakForce;
        j.length = joint._length;
        j.rate = k.motorRate;
        j.torque = k.motorTorque;
        j.on = k.motorOn;
        j.stiffness = k.stiffness;
        j.damping = k.damping;
        j.angle = joint._angle;
        at.scene.joints.push_back(j);
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
    at.parts.back() = partsOf(squid->_tentacle->_bodyRect);
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
    // The links, then the start and the end anchor where they are the chain's own (joints name
    // them so), else nothing in their place.
    std::vector<std::shared_ptr<CPBody>> parts = partsOf(chain._body);
    const bool ownStart = body.start.type == T::Fixed || body.start.type == T::Free;
    const bool ownEnd = body.end.type == T::Fixed || body.end.type == T::Free;
    parts.push_back(ownStart && chain._startJoint != nullptr ? chain._startJoint->GetBodyB()
                                                             : nullptr);
    parts.push_back(ownEnd && live(chain._endJoint) ? chain._endJoint->GetBodyA() : nullptr);
    at.parts.back() = std::move(parts);
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

std::shared_ptr<CPBody> SceneBodies::ApplyDrawn(const Body& body, Applying& at) {
    const std::shared_ptr<TLayer>& layer = at.control.level->_FGLayer;
    const auto material = static_cast<Material>(body.material);
    const CPVect p = asVect(body.state);
    OutlineFault fault = OutlineFault::None;
    TDrawn* drawn = body.pieces.empty()
                        ? TDrawn::CreateCircle(layer, p, static_cast<float>(body.radius), material,
                                               body.fixed, fault)
                        : TDrawn::CreatePieces(layer, body.pieces, p, material, body.fixed, fault);
    // The reader made the same checks: a refusal here would be a reader's fault, and the body
    // is then left out rather than made wrong.
    return drawn != nullptr ? drawn->_body : nullptr;
}

std::shared_ptr<CPBody> SceneBodies::ApplyOne(const Body& body, Applying& at) {
    Body entry = body;
    for (Anchor* end : {&entry.start, &entry.end}) {
        if (end->type == Anchor::Type::Star &&
            (end->star < 0 || static_cast<std::size_t>(end->star) >= at.made.size() ||
             !at.made[static_cast<std::size_t>(end->star)])) {
            end->type = Anchor::Type::None;
        }
    }
    const std::size_t graces = at.graces.size();
    std::shared_ptr<CPBody> main = rowOf(entry.kind).apply(entry, at);
    if (main) {
        main->SetExactState(entry.state);
        return main;
    }
    if (at.graces.size() == graces) {
        return nullptr;
    }
    TChain& chain = *at.graces.back().first;
    chain._cycle = static_cast<int>(TChain::layer->spaceMap->StepsTaken() +
                                    static_cast<std::uint32_t>(at.graces.back().second));
    at.graces.pop_back();
    return chain._body.IsEmpty() ? nullptr : chain._body.First();
}

Body SceneBodies::CaptureChain(TChain& chain, const std::vector<const CPBody*>& stars) {
    return captureChain(chain, stars, 0);
}

void SceneBodies::ApplyJoints(const SceneFormat::Scene& scene, const Applying& at, TLevel& level) {
    const std::shared_ptr<TLayer>& fg = level._FGLayer;
    auto bodyOf = [&](const SceneFormat::JointEnd& end) -> std::shared_ptr<CPBody> {
        if (end.body < 0) {
            return fg->staticBodyMap;
        }
        const auto i = static_cast<std::size_t>(end.body);
        if (end.part < 0) {
            return i < at.made.size() ? at.made[i] : nullptr;
        }
        const auto part = static_cast<std::size_t>(end.part);
        return i < at.parts.size() && part < at.parts[i].size() ? at.parts[i][part] : nullptr;
    };
    auto anchorOf = [](const SceneFormat::JointEnd& end, const std::shared_ptr<CPBody>& body) {
        const CPVect p = Vec2(static_cast<float>(end.x), static_cast<float>(end.y));
        return end.body < 0 ? body->WorldToLocal(p) : p;
    };
    for (const SceneFormat::Joint& j : scene.joints) {
        const std::shared_ptr<CPBody> a = bodyOf(j.a), b = bodyOf(j.b);
        if (!a || !b) {
            continue; // a body the scene could not make (its squid left as it was made)
        }
        TMachineJoint::Params k;
        k.kind = static_cast<JointKind>(static_cast<int>(j.kind));
        k.motorRate = static_cast<float>(j.rate);
        k.motorTorque = static_cast<float>(j.torque);
        k.motorOn = j.on;
        k.stiffness = static_cast<float>(j.stiffness);
        k.damping = static_cast<float>(j.damping);
        k.breakForce = static_cast<float>(j.breakForce);
        // A dead joint (bodies the library cannot join) leaves at the next pass.
        TMachineJoint::Create()->Init(fg, a, b, anchorOf(j.a, a), anchorOf(j.b, b),
                                      static_cast<float>(j.length), static_cast<float>(j.angle), k);
    }
}

SceneFormat::Scene SceneBodies::Capture(const TLevel& level, const TControl& control,
                                        const TSandbox& sandbox, const TSettings& settings) {
    SceneFormat::Scene scene;
    const TLayer& fg = *level._FGLayer;
    scene.foregroundTiles = fg.MapData;
    scene.foregroundEdges = fg.BoundMap;
    scene.backgroundTiles = level._BGLayer->MapData;
    // Zoomed out, the view's corner may lie left of or above the level, where no scroll is.
    scene.scrollX = std::max(fg.ScrollX, 0);
    scene.scrollY = std::max(fg.ScrollY, 0);
    scene.hasCamera = level.ZoomStep() != 0 || !level.Following();
    scene.camera = {level.ZoomStep(), fg.ScrollX, fg.ScrollY, level.Following()};
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
    Capturing at{scene, control, 0, {}, {}};
    for (const ClassRow& row : kClasses) {
        row.capture(at);
    }
    CaptureJoints(at, fg.staticBodyMap.get());
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

    Applying at{control, {}, {}, nullptr, {}};
    at.made.reserve(scene.bodies.size());
    for (const Body& body : scene.bodies) {
        at.parts.emplace_back();
        std::shared_ptr<CPBody> main = rowOf(body.kind).apply(body, at);
        if (main) {
            main->SetExactState(body.state);
        }
        at.made.push_back(std::move(main));
    }
    ApplyJoints(scene, at, level);
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
    // A scene without a camera starts as the game does: zoom 1, following the player.
    const SceneFormat::Camera camera =
        scene.hasCamera ? scene.camera : SceneFormat::Camera{0, scene.scrollX, scene.scrollY, true};
    level.SetCamera(camera.zoomStep, camera.x, camera.y, camera.following);
    return player;
}

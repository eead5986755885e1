#include "control/SceneFile.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "control/TSandbox.hpp"
#include "physics/CPSlideJoint.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

using Json = nlohmann::ordered_json;
using Kind = SceneFile::Kind;
using Anchor = SceneFile::Anchor;

// Tentacle segments of a spawned squid (n = 6) and of the player (n = 14).
constexpr int kSquidSegments = 7;
constexpr int kPlayerSegments = 15;
// Links of the chains of keys 5 to 7 and of key 8.
constexpr std::size_t kLinks = 19;
constexpr std::size_t kLinksTiedToStar = 11;
// The scroll is limited to the level when applied; a file may ask for more.
constexpr int kMaxScroll = 1'000'000;
// Every anchor stands this far right of the point its chain was asked for.
constexpr float kAnchorShift = 112.0f;

struct KindName {
    Kind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {{Kind::Ball, "ball"},     {Kind::Cube, "cube"},
                                   {Kind::Star, "star"},     {Kind::Squid, "squid"},
                                   {Kind::Player, "player"}, {Kind::Chain, "chain"}};

const char* nameOf(Kind kind) {
    for (const auto& k : kKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "?";
}

// ---- Writing ----------------------------------------------------------------------------

// The shortest text that reads back as the same float: the program's own precision, which keeps
// a scene of a thousand bodies small enough for a link. It always has a point or an exponent: a
// JSON reader takes "-0" or "3" for integers, and -0.0 would come back as 0. (snprintf rather
// than std::to_chars, which the web build's C++ library does not have for floats.)
void appendNumber(std::string& out, double value) {
    // A body the physics blew up has no place in a file a reader must accept: it stands still
    // at the origin instead.
    const float v = std::isfinite(value) ? static_cast<float>(value) : 0.0f;
    char buffer[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(v));
        if (std::strtof(buffer, nullptr) == v) {
            break;
        }
    }
    const std::string_view text(buffer);
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos) {
        out += ".0";
    }
}

void appendInt(std::string& out, long long v) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, result.ptr);
}

void appendState(std::string& out, const CPExactState& s) {
    out += '[';
    const double values[] = {s.x, s.y, s.angle, s.vx, s.vy, s.angularVelocity};
    for (std::size_t i = 0; i < 6; ++i) {
        if (i != 0) {
            out += ", ";
        }
        appendNumber(out, values[i]);
    }
    out += ']';
}

// A map as rows of integers, one row a line, so that a diff of two scenes shows the cells.
void appendMap(std::string& out, const char* key, const IntGrid& map) {
    out += ",\n \"";
    out += key;
    out += "\": [";
    for (std::size_t r = 0; r < map.size(); ++r) {
        out += r == 0 ? "\n  [" : ",\n  [";
        for (std::size_t c = 0; c < map[r].size(); ++c) {
            if (c != 0) {
                out += ',';
            }
            appendInt(out, map[r][c]);
        }
        out += ']';
    }
    out += "\n ]";
}

void appendParts(std::string& out, const char* key, const std::vector<CPExactState>& parts) {
    out += ", \"";
    out += key;
    out += "\": [";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += i == 0 ? "\n   " : ",\n   ";
        appendState(out, parts[i]);
    }
    out += ']';
}

void appendAnchor(std::string& out, const char* key, const Anchor& anchor) {
    out += ", \"";
    out += key;
    out += "\": ";
    switch (anchor.type) {
    case Anchor::Type::None:
        out += "null";
        break;
    case Anchor::Type::Fixed:
        out += "{\"fixed\": [";
        appendNumber(out, anchor.state.x);
        out += ", ";
        appendNumber(out, anchor.state.y);
        out += "]}";
        break;
    case Anchor::Type::Free:
        out += "{\"free\": ";
        appendState(out, anchor.state);
        out += '}';
        break;
    case Anchor::Type::Star:
        out += "{\"star\": ";
        appendInt(out, anchor.star);
        out += '}';
        break;
    }
}

void appendBody(std::string& out, const SceneFile::Body& body) {
    out += "{\"kind\": \"";
    out += nameOf(body.kind);
    out += '"';
    if (body.kind == Kind::Chain) {
        appendAnchor(out, "start", body.start);
        appendAnchor(out, "end", body.end);
        out += ", \"grace\": ";
        appendInt(out, body.grace);
        out += ", \"broken\": [";
        for (std::size_t i = 0; i < body.broken.size(); ++i) {
            if (i != 0) {
                out += ", ";
            }
            appendInt(out, body.broken[i]);
        }
        out += ']';
        appendParts(out, "links", body.parts);
    } else {
        out += ", \"state\": ";
        appendState(out, body.state);
        if (body.kind == Kind::Squid || body.kind == Kind::Player) {
            appendParts(out, "tentacle", body.parts);
        }
    }
    out += '}';
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

SceneFile::Body captureChain(TChain& chain, const std::vector<const CPBody*>& stars,
                             int firstStar) {
    SceneFile::Body body;
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

// ---- Reading ----------------------------------------------------------------------------

// The library's tree builder, keeping the reason of a syntax error (with its line and column)
// instead of throwing it.
class TreeBuilder : public nlohmann::detail::json_sax_dom_parser<Json> {
  public:
    TreeBuilder(Json& tree, std::string& error)
        : nlohmann::detail::json_sax_dom_parser<Json>(tree, false), error_(error) {}
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) {
        std::string what = ex.what();
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
        const std::string prefix = "parse error at ";
        const auto at = what.find(prefix);
        error_ = "malformed JSON at " +
                 (at == std::string::npos ? what : what.substr(at + prefix.size()));
        return false;
    }

  private:
    std::string& error_;
};

std::string shortNumber(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

// Walks the tree with the path of the value at hand, for the one line a fault is told in.
class Checker {
  public:
    std::string error;

    bool fail(const std::string& where, const std::string& what) {
        error = where + ": " + what;
        return false;
    }

    // The object's members must be among keys; every key listed with required true must be there.
    bool members(const Json& object, const std::string& where,
                 std::initializer_list<std::pair<const char*, bool>> keys) {
        if (!object.is_object()) {
            return fail(where, "not an object");
        }
        for (auto it = object.begin(); it != object.end(); ++it) {
            const bool known = std::any_of(keys.begin(), keys.end(),
                                           [&](const auto& k) { return it.key() == k.first; });
            if (!known) {
                return fail(where, "unknown field \"" + it.key() + "\"");
            }
        }
        for (const auto& k : keys) {
            if (k.second && !object.contains(k.first)) {
                return fail(where, std::string("missing field \"") + k.first + "\"");
            }
        }
        return true;
    }

    bool integer(const Json& v, const std::string& where, long long low, long long high, int& out) {
        if (!v.is_number_integer()) {
            return fail(where, "not an integer");
        }
        const long long n =
            v.is_number_unsigned()
                ? static_cast<long long>(std::min<std::uint64_t>(v.get<std::uint64_t>(), INT64_MAX))
                : v.get<std::int64_t>();
        if (n < low || n > high) {
            return fail(where, std::to_string(n) + " is outside " + std::to_string(low) + ".." +
                                   std::to_string(high));
        }
        out = static_cast<int>(n);
        return true;
    }

    bool boolean(const Json& v, const std::string& where, bool& out) {
        if (!v.is_boolean()) {
            return fail(where, "not true or false");
        }
        out = v.get<bool>();
        return true;
    }

    bool number(const Json& v, const std::string& where, double limit, const char* what,
                double& out) {
        if (!v.is_number()) {
            return fail(where, "not a number");
        }
        out = v.get<double>();
        if (!std::isfinite(out) || std::fabs(out) > limit) {
            return fail(where, std::string(what) + " " + shortNumber(out) + " is beyond " +
                                   shortNumber(limit));
        }
        // Files hold floats; more digits written by hand are rounded as a save would.
        out = static_cast<float>(out);
        return true;
    }

    bool array(const Json& v, const std::string& where, std::size_t low, std::size_t high) {
        if (!v.is_array()) {
            return fail(where, "not an array");
        }
        if (v.size() < low || v.size() > high) {
            return fail(where, low == high
                                   ? "has " + std::to_string(v.size()) + " entries instead of " +
                                         std::to_string(low)
                                   : "has " + std::to_string(v.size()) + " entries, not " +
                                         std::to_string(low) + " to " + std::to_string(high));
        }
        return true;
    }

    bool state(const Json& v, const std::string& where, CPExactState& s) {
        if (!array(v, where, 6, 6)) {
            return false;
        }
        double* fields[] = {&s.x, &s.y, &s.angle, &s.vx, &s.vy, &s.angularVelocity};
        const double limits[] = {kCoordinate, kCoordinate, kAngle, kSpeed, kSpeed, kSpeed};
        const char* names[] = {"x", "y", "angle", "x velocity", "y velocity", "spin"};
        for (std::size_t i = 0; i < 6; ++i) {
            if (!number(v[i], where + "[" + std::to_string(i) + "]", limits[i], names[i],
                        *fields[i])) {
                return false;
            }
        }
        return true;
    }

    // rows x columns of values each in allowed.
    bool map(const Json& v, const std::string& where, std::size_t rows, std::size_t columns,
             const std::set<int>& allowed, IntGrid& out) {
        if (!array(v, where, rows, rows)) {
            return false;
        }
        out.assign(rows, std::vector<int>(columns, 0));
        for (std::size_t r = 0; r < rows; ++r) {
            const std::string row = where + "[" + std::to_string(r) + "]";
            if (!array(v[r], row, columns, columns)) {
                return false;
            }
            for (std::size_t c = 0; c < columns; ++c) {
                const std::string cell = row + "[" + std::to_string(c) + "]";
                if (!integer(v[r][c], cell, INT32_MIN, INT32_MAX, out[r][c])) {
                    return false;
                }
                if (allowed.count(out[r][c]) == 0) {
                    return fail(cell, std::to_string(out[r][c]) + " is no cell of this level");
                }
            }
        }
        return true;
    }

    static constexpr double kCoordinate = SceneFile::kMaxCoordinate;
    static constexpr double kAngle = SceneFile::kMaxAngle;
    static constexpr double kSpeed = SceneFile::kMaxSpeed;
};

std::set<int> valuesOf(const IntGrid& map) {
    std::set<int> values{0};
    for (const auto& row : map) {
        values.insert(row.begin(), row.end());
    }
    return values;
}

bool readAnchor(Checker& check, const Json& v, const std::string& where, bool isEnd,
                Anchor& anchor) {
    if (v.is_null()) {
        anchor.type = Anchor::Type::None;
        return true;
    }
    if (!check.members(v, where, {{"fixed", false}, {"free", false}, {"star", false}})) {
        return false;
    }
    if (v.size() != 1) {
        return check.fail(where, "needs exactly one of \"fixed\", \"free\" or \"star\"");
    }
    if (v.contains("fixed")) {
        anchor.type = Anchor::Type::Fixed;
        const Json& p = v["fixed"];
        return check.array(p, where + ".fixed", 2, 2) &&
               check.number(p[0], where + ".fixed[0]", SceneFile::kMaxCoordinate, "x",
                            anchor.state.x) &&
               check.number(p[1], where + ".fixed[1]", SceneFile::kMaxCoordinate, "y",
                            anchor.state.y);
    }
    if (v.contains("free")) {
        anchor.type = Anchor::Type::Free;
        return check.state(v["free"], where + ".free", anchor.state);
    }
    if (!isEnd) {
        return check.fail(where, "a chain's start is never tied to a star");
    }
    anchor.type = Anchor::Type::Star;
    return check.integer(v["star"], where + ".star", 0, SceneFile::kMaxBodies, anchor.star);
}

bool readChain(Checker& check, const Json& v, const std::string& where,
               const std::vector<SceneFile::Body>& before, SceneFile::Body& body, int& parts) {
    if (!check.members(v, where,
                       {{"kind", true},
                        {"start", true},
                        {"end", true},
                        {"grace", true},
                        {"broken", true},
                        {"links", true}})) {
        return false;
    }
    if (!readAnchor(check, v["start"], where + ".start", false, body.start) ||
        !readAnchor(check, v["end"], where + ".end", true, body.end)) {
        return false;
    }
    // The ends the game makes: fixed-fixed, fixed-free, free-free, fixed-star, and fixed with
    // nothing once its star has gone.
    using T = Anchor::Type;
    const T s = body.start.type, e = body.end.type;
    const bool made = s == T::Fixed || (s == T::Free && e == T::Free);
    if (!made) {
        return check.fail(where, "no chain has these ends");
    }
    if (e == T::Star) {
        const std::string at = where + ".end.star";
        if (body.end.star >= static_cast<int>(before.size()) ||
            before[static_cast<std::size_t>(body.end.star)].kind != Kind::Star) {
            return check.fail(at, "body " + std::to_string(body.end.star) +
                                      " is not a star listed before this chain");
        }
    }
    if (!check.integer(v["grace"], where + ".grace", 0, TChain::kGraceSteps, body.grace)) {
        return false;
    }
    const Json& links = v["links"];
    if (!check.array(links, where + ".links", 0, SceneFile::kMaxLinks)) {
        return false;
    }
    // The chains of keys 5 to 7 have 19 links, those of key 8 (tied to a star, or fixed at both
    // ends when there was none) 11.
    const bool keyEight = e == T::Star || e == T::None;
    if (links.size() != kLinksTiedToStar && (keyEight || links.size() != kLinks)) {
        return check.fail(where + ".links", "has " + std::to_string(links.size()) +
                                                " links; this chain has " +
                                                std::to_string(kLinksTiedToStar) +
                                                (keyEight ? "" : " or " + std::to_string(kLinks)));
    }
    parts += static_cast<int>(links.size()) + 2;
    if (parts > SceneFile::kMaxParts) {
        return check.fail(where, "more than " + std::to_string(SceneFile::kMaxParts) +
                                     " physics bodies in the scene");
    }
    body.parts.resize(links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (!check.state(links[i], where + ".links[" + std::to_string(i) + "]", body.parts[i])) {
            return false;
        }
    }
    const Json& broken = v["broken"];
    if (!check.array(broken, where + ".broken", 0, links.size() - 1)) {
        return false;
    }
    for (std::size_t i = 0; i < broken.size(); ++i) {
        int joint = 0;
        const std::string at = where + ".broken[" + std::to_string(i) + "]";
        if (!check.integer(broken[i], at, 1, static_cast<long long>(links.size()) - 1, joint)) {
            return false;
        }
        if (!body.broken.empty() && joint <= body.broken.back()) {
            return check.fail(at, "joints must be listed once each, in ascending order");
        }
        body.broken.push_back(joint);
    }
    return true;
}

bool readBody(Checker& check, const Json& v, const std::string& where,
              const std::vector<SceneFile::Body>& before, SceneFile::Body& body, int& parts) {
    if (!v.is_object()) {
        return check.fail(where, "not an object");
    }
    const auto kind = v.find("kind");
    if (kind == v.end() || !kind->is_string()) {
        return check.fail(where, "missing field \"kind\"");
    }
    const std::string name = kind->get<std::string>();
    const auto known = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                    [&](const KindName& k) { return name == k.name; });
    if (known == std::end(kKindNames)) {
        return check.fail(where + ".kind", "unknown kind \"" + name + "\"");
    }
    body.kind = known->kind;
    if (body.kind == Kind::Chain) {
        return readChain(check, v, where, before, body, parts);
    }
    const bool squid = body.kind == Kind::Squid || body.kind == Kind::Player;
    if (!check.members(v, where, {{"kind", true}, {"state", true}, {"tentacle", squid}}) ||
        !check.state(v["state"], where + ".state", body.state)) {
        return false;
    }
    ++parts;
    if (!squid) {
        if (v.contains("tentacle")) {
            return check.fail(where, std::string("a ") + name + " has no tentacle");
        }
        return true;
    }
    const std::size_t segments = body.kind == Kind::Player ? kPlayerSegments : kSquidSegments;
    const Json& tentacle = v["tentacle"];
    if (!check.array(tentacle, where + ".tentacle", segments, segments)) {
        return false;
    }
    parts += static_cast<int>(segments);
    body.parts.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        if (!check.state(tentacle[i], where + ".tentacle[" + std::to_string(i) + "]",
                         body.parts[i])) {
            return false;
        }
    }
    return true;
}

// The classes' order of the file: a star must come before the chain tied to it, and each class
// keeps its own order (its drawing order).
int classRank(Kind kind) {
    switch (kind) {
    case Kind::Ball:
        return 0;
    case Kind::Cube:
        return 1;
    case Kind::Star:
        return 2;
    case Kind::Squid:
    case Kind::Player:
        return 3;
    case Kind::Chain:
        return 4;
    }
    return 5;
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

// Returns the chain made.
TChain& applyChain(const SceneFile::Body& body, TControl& control,
                   const std::vector<std::shared_ptr<CPBody>>& made) {
    using T = Anchor::Type;
    const int mode = body.start.type == T::Free ? 0 : body.end.type == T::Free ? 2 : 1;
    // The chain is laid out from its start anchor's point, as a spawn would; every state is then
    // put back as saved.
    const CPVect p = asVect(body.start.state).Sub(Vec2(kAnchorShift, 0.0f));
    std::shared_ptr<CPBody> end;
    if (body.end.type == T::Star) {
        end = made[static_cast<std::size_t>(body.end.star)];
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
    return chain;
}

} // namespace

SceneFile::Scene SceneFile::Capture(const TLevel& level, const TControl& control,
                                    const TSandbox& sandbox) {
    Scene scene;
    const TLayer& fg = *level._FGLayer;
    scene.foregroundTiles = fg.MapData;
    scene.foregroundEdges = fg.BoundMap;
    scene.backgroundTiles = level._BGLayer->MapData;
    scene.scrollX = fg.ScrollX;
    scene.scrollY = fg.ScrollY;
    scene.selected = control.currentObject;
    scene.debugView = control.debugMode == 1;
    scene.paused = sandbox.paused;

    auto simple = [&](Kind kind, const std::shared_ptr<CPBody>& b) {
        Body body;
        body.kind = kind;
        body.state = b->GetExactState();
        scene.bodies.push_back(std::move(body));
    };
    forEachLive(TBall::liveList.get(), [&](TBall& ball) { simple(Kind::Ball, ball._body); });
    forEachLive(TCube::liveList.get(), [&](TCube& cube) { simple(Kind::Cube, cube._body); });
    const int firstStar = static_cast<int>(scene.bodies.size());
    std::vector<const CPBody*> stars;
    forEachLive(TStar::liveList.get(), [&](TStar& star) {
        simple(Kind::Star, star._body);
        stars.push_back(star._body.get());
    });
    forEachLive(TSquid::liveList.get(), [&](TSquid& squid) {
        if (squid.IsRemoved()) {
            return;
        }
        Body body;
        body.kind = &squid == control.player.get() ? Kind::Player : Kind::Squid;
        body.state = squid._body->GetExactState();
        if (squid._tentacle) {
            body.parts = statesOf(squid._tentacle->_bodyRect);
        }
        scene.bodies.push_back(std::move(body));
    });
    forEachLive(TChain::liveList.get(), [&](TChain& chain) {
        scene.bodies.push_back(captureChain(chain, stars, firstStar));
    });
    return scene;
}

std::string SceneFile::Write(const Scene& scene) {
    std::string out;
    out.reserve(64 * 1024 + scene.bodies.size() * 160);
    out += "{\"";
    out += kFormatName;
    out += "\": ";
    appendInt(out, kVersion);
    out += ",\n \"paused\": ";
    out += scene.paused ? "true" : "false";
    out += ",\n \"debug_view\": ";
    out += scene.debugView ? "true" : "false";
    out += ",\n \"selected\": ";
    appendInt(out, scene.selected);
    out += ",\n \"scroll\": [";
    appendInt(out, scene.scrollX);
    out += ", ";
    appendInt(out, scene.scrollY);
    out += ']';
    appendMap(out, "foreground_tiles", scene.foregroundTiles);
    appendMap(out, "foreground_edges", scene.foregroundEdges);
    appendMap(out, "background_tiles", scene.backgroundTiles);
    out += ",\n \"bodies\": [";
    for (std::size_t i = 0; i < scene.bodies.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        appendBody(out, scene.bodies[i]);
    }
    out += scene.bodies.empty() ? "]\n}\n" : "\n ]\n}\n";
    return out;
}

bool SceneFile::Read(std::string_view text, Scene& scene, std::string& error) {
    if (text.size() > kMaxBytes) {
        error = "larger than " + std::to_string(kMaxBytes / (1024 * 1024)) + " MB";
        return false;
    }
    Json root;
    {
        TreeBuilder builder(root, error);
        const bool parsed = Json::sax_parse(text.begin(), text.end(), &builder,
                                            nlohmann::detail::input_format_t::json, true);
        if (!parsed) {
            if (error.empty()) {
                error = "malformed JSON";
            }
            return false;
        }
    }
    Checker check;
    auto failed = [&] {
        error = check.error;
        return false;
    };
    if (!root.is_object() || root.empty() || root.begin().key() != kFormatName) {
        error = std::string("not a scene file: the first field must be \"") + kFormatName + "\"";
        return false;
    }
    int version = 0;
    if (!check.integer(root.front(), kFormatName, 1, INT32_MAX, version)) {
        return failed();
    }
    if (version > kVersion) {
        error = std::string(kFormatName) + ": version " + std::to_string(version) +
                " is newer than this program reads (" + std::to_string(kVersion) + ")";
        return false;
    }
    if (!check.members(root, "scene",
                       {{kFormatName, true},
                        {"paused", true},
                        {"debug_view", true},
                        {"selected", true},
                        {"scroll", true},
                        {"foreground_tiles", true},
                        {"foreground_edges", true},
                        {"background_tiles", true},
                        {"bodies", true}})) {
        return failed();
    }
    scene = Scene{};
    if (!check.boolean(root["paused"], "paused", scene.paused) ||
        !check.boolean(root["debug_view"], "debug_view", scene.debugView) ||
        !check.integer(root["selected"], "selected", 0, 8, scene.selected) ||
        !check.array(root["scroll"], "scroll", 2, 2) ||
        !check.integer(root["scroll"][0], "scroll[0]", 0, kMaxScroll, scene.scrollX) ||
        !check.integer(root["scroll"][1], "scroll[1]", 0, kMaxScroll, scene.scrollY)) {
        return failed();
    }
    // The maps have level 0's sizes.
    const std::size_t rows = FGMapData.size();
    const std::size_t columns = rows == 0 ? 0 : FGMapData[0].size();
    const std::size_t bgRows = BGMapData.size();
    const std::size_t bgColumns = bgRows == 0 ? 0 : BGMapData[0].size();
    if (!check.map(root["foreground_tiles"], "foreground_tiles", rows, columns, valuesOf(FGMapData),
                   scene.foregroundTiles) ||
        !check.map(root["foreground_edges"], "foreground_edges", rows, columns,
                   valuesOf(FGBoundMap), scene.foregroundEdges) ||
        !check.map(root["background_tiles"], "background_tiles", bgRows, bgColumns,
                   valuesOf(BGMapData), scene.backgroundTiles)) {
        return failed();
    }
    // A foreground cell is one of the level's own (tile, edge) pairs, as the editor paints them.
    std::set<std::pair<int, int>> cells{{0, 0}};
    for (std::size_t r = 0; r < FGMapData.size() && r < FGBoundMap.size(); ++r) {
        for (std::size_t c = 0; c < FGMapData[r].size() && c < FGBoundMap[r].size(); ++c) {
            cells.insert({FGMapData[r][c], FGBoundMap[r][c]});
        }
    }
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            if (cells.count({scene.foregroundTiles[r][c], scene.foregroundEdges[r][c]}) == 0) {
                error = "foreground_edges[" + std::to_string(r) + "][" + std::to_string(c) +
                        "]: edge " + std::to_string(scene.foregroundEdges[r][c]) +
                        " does not go with tile " + std::to_string(scene.foregroundTiles[r][c]);
                return false;
            }
        }
    }

    const Json& bodies = root["bodies"];
    if (!check.array(bodies, "bodies", 0, kMaxBodies)) {
        return failed();
    }
    scene.bodies.resize(bodies.size());
    int parts = 0;
    int players = 0;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const std::string where = "bodies[" + std::to_string(i) + "]";
        Body& body = scene.bodies[i];
        // Chains look back at the stars listed before them.
        if (!readBody(check, bodies[i], where, scene.bodies, body, parts)) {
            return failed();
        }
        if (parts > kMaxParts) {
            error =
                where + ": more than " + std::to_string(kMaxParts) + " physics bodies in the scene";
            return false;
        }
        if (i > 0 && classRank(body.kind) < classRank(scene.bodies[i - 1].kind)) {
            error = where + ": a " + nameOf(body.kind) + " listed after a " +
                    nameOf(scene.bodies[i - 1].kind) +
                    " (balls, cubes, stars, squids, then chains)";
            return false;
        }
        if (body.kind == Kind::Player && ++players > 1) {
            error = where + ": a second player";
            return false;
        }
    }
    return true;
}

std::shared_ptr<TSquid> SceneFile::Apply(const Scene& scene, TLevel& level, TControl& control,
                                         TSandbox& sandbox) {
    TLayer& fg = *level._FGLayer;
    for (int r = 0; r < fg.MapH; ++r) {
        for (int c = 0; c < fg.MapW; ++c) {
            const auto rr = static_cast<std::size_t>(r), cc = static_cast<std::size_t>(c);
            fg.SetCell(c, r, scene.foregroundTiles[rr][cc], scene.foregroundEdges[rr][cc]);
        }
    }
    level._BGLayer->MapData = scene.backgroundTiles;

    std::shared_ptr<TSquid> player;
    // Bodies made so far by index, for the chains tied to stars.
    std::vector<std::shared_ptr<CPBody>> made;
    made.reserve(scene.bodies.size());
    // The chains' grace counts in the space's steps from now on.
    std::vector<std::pair<TChain*, int>> graces;
    for (const Body& body : scene.bodies) {
        const CPVect p = asVect(body.state);
        std::shared_ptr<CPBody> main;
        switch (body.kind) {
        case Kind::Ball:
            control.spawnAt(1, p);
            main = newest(TBall::liveList)._body;
            break;
        case Kind::Cube:
            control.spawnAt(2, p);
            main = newest(TCube::liveList)._body;
            break;
        case Kind::Star:
            control.spawnAt(3, p);
            main = newest(TStar::liveList)._body;
            break;
        case Kind::Squid:
        case Kind::Player: {
            std::shared_ptr<TSquid> squid;
            if (body.kind == Kind::Player) {
                squid = player = control.createPlayer(p);
            } else {
                control.spawnAt(4, p);
                squid = TSquid::liveList->Last();
            }
            main = squid->_body;
            setStates(squid->_tentacle->_bodyRect, body.parts);
            break;
        }
        case Kind::Chain:
            graces.emplace_back(&applyChain(body, control, made), body.grace);
            break;
        }
        if (main) {
            main->SetExactState(body.state);
        }
        made.push_back(std::move(main));
    }
    CPSpace& space = *fg.spaceMap;
    for (const auto& [chain, grace] : graces) {
        chain->_cycle = static_cast<int>(space.StepsTaken() + static_cast<std::uint32_t>(grace));
    }
    if (!player) {
        // No player in the scene: it has left the level, as it may in play.
        player = TSquid::Create();
    }

    control.currentObject = scene.selected;
    control.debugMode = scene.debugView ? 1 : -1;
    sandbox.paused = scene.paused;
    level.Follow(Vec2(static_cast<float>(scene.scrollX), static_cast<float>(scene.scrollY)));
    return player;
}

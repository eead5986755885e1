#include "scene/SceneFormat.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "physics/ConvexSplit.hpp"
#include "scene/EchoedText.hpp"

namespace {

using Json = nlohmann::ordered_json;
using Kind = SceneFormat::Kind;
using Anchor = SceneFormat::Anchor;

// Tentacle segments of a spawned squid (n = 6) and of the player (n = 14).
constexpr std::size_t kSquidSegments = 7;
constexpr std::size_t kPlayerSegments = 15;
// Links of the chains of keys 5 to 7 and of key 8.
constexpr std::size_t kLinks = 19;
constexpr std::size_t kLinksTiedToStar = 11;
// The scroll is limited to the level when applied; a file may ask for more.
constexpr int kMaxScroll = 1'000'000;

struct KindName {
    Kind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {Kind::Ball, "ball"},     {Kind::Cube, "cube"},   {Kind::Star, "star"},  {Kind::Squid, "squid"},
    {Kind::Player, "player"}, {Kind::Chain, "chain"}, {Kind::Drawn, "drawn"}};

using JointKind = SceneFormat::JointKind;
struct JointKindName {
    JointKind kind;
    const char* name;
};
constexpr JointKindName kJointKindNames[] = {{JointKind::Hinge, "hinge"},
                                             {JointKind::Motor, "motor"},
                                             {JointKind::Spring, "spring"},
                                             {JointKind::Rope, "rope"},
                                             {JointKind::Weld, "weld"}};

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

void appendJointEnd(std::string& out, const char* key, const SceneFormat::JointEnd& end) {
    out += ", \"";
    out += key;
    out += "\": {";
    if (end.body < 0) {
        out += "\"level\": [";
    } else {
        out += "\"body\": ";
        appendInt(out, end.body);
        if (end.part >= 0) {
            out += ", \"part\": ";
            appendInt(out, end.part);
        }
        out += ", \"anchor\": [";
    }
    appendNumber(out, end.x);
    out += ", ";
    appendNumber(out, end.y);
    out += "]}";
}

void appendField(std::string& out, const char* key, double value) {
    out += ", \"";
    out += key;
    out += "\": ";
    appendNumber(out, value);
}

// One line a joint: its kind, its ends, then what its kind has.
void appendJoint(std::string& out, const SceneFormat::Joint& joint) {
    out += "{\"kind\": \"";
    out += SceneFormat::JointKindName(joint.kind);
    out += '"';
    appendJointEnd(out, "a", joint.a);
    appendJointEnd(out, "b", joint.b);
    switch (joint.kind) {
    case JointKind::Hinge:
        break;
    case JointKind::Motor:
        appendField(out, "rate", joint.rate);
        appendField(out, "torque", joint.torque);
        out += ", \"on\": ";
        out += joint.on ? "true" : "false";
        break;
    case JointKind::Spring:
        appendField(out, "length", joint.length);
        appendField(out, "stiffness", joint.stiffness);
        appendField(out, "damping", joint.damping);
        break;
    case JointKind::Rope:
        appendField(out, "length", joint.length);
        break;
    case JointKind::Weld:
        appendField(out, "angle", joint.angle);
        break;
    }
    appendField(out, "break_force", joint.breakForce);
    out += '}';
}

void appendBody(std::string& out, const SceneFormat::Body& body) {
    out += "{\"kind\": \"";
    out += SceneFormat::KindName(body.kind);
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
    } else if (body.kind == Kind::Drawn) {
        out += ", \"material\": ";
        appendInt(out, body.material);
        out += ", \"fixed\": ";
        out += body.fixed ? "true" : "false";
        out += ", \"state\": ";
        appendState(out, body.state);
        if (body.pieces.empty()) {
            out += ", \"radius\": ";
            appendNumber(out, body.radius);
        } else {
            // A piece a line, its corners' x and y in turn.
            out += ", \"pieces\": [";
            for (std::size_t i = 0; i < body.pieces.size(); ++i) {
                out += i == 0 ? "\n   [" : ",\n   [";
                for (std::size_t k = 0; k < body.pieces[i].size(); ++k) {
                    if (k != 0) {
                        out += ", ";
                    }
                    appendNumber(out, body.pieces[i][k].x);
                    out += ", ";
                    appendNumber(out, body.pieces[i][k].y);
                }
                out += ']';
            }
            out += ']';
        }
    } else {
        out += ", \"state\": ";
        appendState(out, body.state);
        if (body.kind == Kind::Squid || body.kind == Kind::Player) {
            appendParts(out, "tentacle", body.parts);
        }
    }
    out += '}';
}

// ---- Reading ----------------------------------------------------------------------------

// The library's tree builder behind the format's own limits, checked as the text is read: the
// first excess stops reading, so that a refused file costs no more memory than a scene may
// (a 16 MB file of short strings once took 466 MB as a whole tree). It also refuses a field given
// twice in one object (the tree would keep only the last), and keeps the reason of a syntax error
// instead of throwing it. Every fault is told with the path of the value at hand.
class TreeBuilder {
  public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    // The largest container and value count a scene needs, with room: 10,000 bodies of at most
    // about 60 values each (a squid's seven six-number states) stay under a million values.
    static constexpr std::size_t kMaxEntries =
        std::max<std::size_t>(SceneFormat::kMaxBodies, SceneFormat::kMaxJoints);
    static constexpr std::size_t kMaxValues = 1'000'000;
    static constexpr std::size_t kMaxDepth = 8;   // a scene nests 5 deep
    static constexpr std::size_t kMaxFields = 16; // fields of one object
    static constexpr std::size_t kMaxText = 64;   // characters of a string or a field's name
    // Strings: a scene has one a body and one a joint (their kinds), and a few of its own (the
    // broad phase).
    static constexpr std::size_t kMaxTexts = SceneFormat::kMaxBodies + SceneFormat::kMaxJoints + 16;

    TreeBuilder(Json& tree, std::string& error) : dom_(tree, false), error_(error) {}

    bool null() { return value() && dom_.null(); }
    bool boolean(bool v) { return value() && dom_.boolean(v); }
    bool number_integer(number_integer_t v) { return value() && dom_.number_integer(v); }
    bool number_unsigned(number_unsigned_t v) { return value() && dom_.number_unsigned(v); }
    bool number_float(number_float_t v, const string_t& text) {
        return value() && dom_.number_float(v, text);
    }
    bool string(string_t& v) {
        if (!value()) {
            return false;
        }
        if (v.size() > kMaxText) {
            return fail(path(), "a text of " + std::to_string(v.size()) + " characters (at most " +
                                    std::to_string(kMaxText) + ")");
        }
        if (++texts_ > kMaxTexts) {
            return fail(path(), "more than " + std::to_string(kMaxTexts) + " texts in the file");
        }
        return dom_.string(v);
    }
    bool binary(binary_t& v) { return value() && dom_.binary(v); }
    bool start_object(std::size_t size) {
        return value() && open(false) && dom_.start_object(size);
    }
    bool key(string_t& name) {
        Frame& frame = frames_.back();
        const std::string where = frames_.size() == 1 ? "scene" : containerPath();
        if (name.size() > kMaxText) {
            return fail(where, "a field name of " + std::to_string(name.size()) +
                                   " characters (at most " + std::to_string(kMaxText) + ")");
        }
        for (const std::string& seen : frame.keys) {
            if (seen == name) {
                return fail(where, "field \"" + EchoedText::Shown(name) + "\" given twice");
            }
        }
        if (frame.keys.size() == kMaxFields) {
            return fail(where, "more than " + std::to_string(kMaxFields) + " fields");
        }
        frame.keys.push_back(name);
        return dom_.key(name);
    }
    bool end_object() {
        frames_.pop_back();
        return dom_.end_object();
    }
    bool start_array(std::size_t size) { return value() && open(true) && dom_.start_array(size); }
    bool end_array() {
        frames_.pop_back();
        return dom_.end_array();
    }
    bool parse_error(std::size_t, const std::string& token, const nlohmann::detail::exception& ex) {
        // A number too large for a double (1e400) is the library's out_of_range 406: the text
        // is well formed, the value is what is wrong.
        if (ex.id == 406) {
            return fail(slotPath(), "the number " + EchoedText::Shown(token) +
                                        " is too large to read (a number is at most about 1e308)");
        }
        std::string what = ex.what();
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ...; last read: '...'"
        const std::string prefix = "parse error at ";
        const auto at = what.find(prefix);
        if (at != std::string::npos) {
            what = what.substr(at + prefix.size());
        }
        // The token read last is the file's own text: shown cut short like every echoed value.
        const std::string lastRead = "; last read: '";
        if (const auto last = what.find(lastRead); last != std::string::npos) {
            what = what.substr(0, last) + lastRead + EchoedText::Shown(token) + "'";
        }
        error_ = "malformed JSON at " + what;
        return false;
    }

  private:
    struct Frame {
        bool array = false;
        std::size_t entries = 0;       // an array's values so far
        std::vector<std::string> keys; // an object's fields so far
    };

    bool fail(const std::string& where, const std::string& what) {
        error_ = where + ": " + what;
        return false;
    }

    // The path of the innermost open container, as the checks after reading name it.
    std::string containerPath() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            path += step(frames_[i], i == 0, frames_[i].array ? frames_[i].entries - 1 : 0);
        }
        return path.empty() ? "scene" : path;
    }
    std::string step(const Frame& frame, bool first, std::size_t index) const {
        // Appended piece by piece: mingw's GCC 12 takes "[" + to_string(...) for an overlapping
        // copy once this is inlined (-Wrestrict, an error in the Windows build).
        std::string piece;
        if (frame.array) {
            piece += '[';
            piece += std::to_string(index);
            piece += ']';
            return piece;
        }
        if (!first) {
            piece += '.';
        }
        if (!frame.keys.empty()) {
            piece += frame.keys.back();
        }
        return piece;
    }
    // The path of the value just counted in the innermost container.
    std::string path() const {
        if (frames_.empty()) {
            return "scene";
        }
        const std::string container = frames_.size() == 1 ? "" : containerPath();
        return container + step(frames_.back(), frames_.size() == 1, frames_.back().entries - 1);
    }
    // The path of the value about to be read (not yet counted).
    std::string slotPath() const {
        if (frames_.empty()) {
            return "scene";
        }
        const std::string container = frames_.size() == 1 ? "" : containerPath();
        return container + step(frames_.back(), frames_.size() == 1, frames_.back().entries);
    }

    // Counts one more value, in the file and in its array.
    bool value() {
        if (++values_ > kMaxValues) {
            return fail("scene", "more than " + std::to_string(kMaxValues) + " values");
        }
        if (!frames_.empty() && frames_.back().array && ++frames_.back().entries > kMaxEntries) {
            return fail(frames_.size() == 1 ? "scene" : containerPath(),
                        "has more than " + std::to_string(kMaxEntries) + " entries");
        }
        return true;
    }
    bool open(bool array) {
        if (frames_.size() == kMaxDepth) {
            return fail(path(), "nested more than " + std::to_string(kMaxDepth) + " deep");
        }
        frames_.push_back(Frame{array, 0, {}});
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    std::string& error_;
    std::vector<Frame> frames_;
    std::size_t values_ = 0;
    std::size_t texts_ = 0;
};

// A number in an error line: whole numbers as such (1000000, not 1e+06), others in the shortest
// form that reads back as the same double, so that a value just over a limit never reads as the
// limit itself (1000000.1 is beyond 1000000).
std::string shortNumber(double v) {
    char buffer[40];
    if (std::fabs(v) < 1e16 && v == std::trunc(v)) {
        std::snprintf(buffer, sizeof buffer, "%.0f", v);
        return buffer;
    }
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, v);
        if (std::strtod(buffer, nullptr) == v) {
            break;
        }
    }
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
                return fail(where, "unknown field \"" + EchoedText::Shown(it.key()) + "\"");
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

    static constexpr double kCoordinate = SceneFormat::kMaxCoordinate;
    static constexpr double kAngle = SceneFormat::kMaxAngle;
    static constexpr double kSpeed = SceneFormat::kMaxSpeed;
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
               check.number(p[0], where + ".fixed[0]", SceneFormat::kMaxCoordinate, "x",
                            anchor.state.x) &&
               check.number(p[1], where + ".fixed[1]", SceneFormat::kMaxCoordinate, "y",
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
    return check.integer(v["star"], where + ".star", 0, SceneFormat::kMaxBodies, anchor.star);
}

bool readChain(Checker& check, const Json& v, const std::string& where,
               const std::vector<SceneFormat::Body>& before, SceneFormat::Body& body, int& parts) {
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
    if (!check.integer(v["grace"], where + ".grace", 0, SceneFormat::kMaxGrace, body.grace)) {
        return false;
    }
    const Json& links = v["links"];
    if (!check.array(links, where + ".links", 0, SceneFormat::kMaxLinks)) {
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
    if (parts > SceneFormat::kMaxParts) {
        return check.fail(where, "more than " + std::to_string(SceneFormat::kMaxParts) +
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

bool readDrawn(Checker& check, const Json& v, const std::string& where, SceneFormat::Body& body) {
    if (!check.members(v, where,
                       {{"kind", true},
                        {"material", true},
                        {"fixed", true},
                        {"state", true},
                        {"pieces", false},
                        {"radius", false}}) ||
        !check.integer(v["material"], where + ".material", 0, SceneFormat::kMaterials - 1,
                       body.material) ||
        !check.boolean(v["fixed"], where + ".fixed", body.fixed) ||
        !check.state(v["state"], where + ".state", body.state)) {
        return false;
    }
    if (v.contains("pieces") == v.contains("radius")) {
        return check.fail(where, "needs exactly one of \"pieces\" or \"radius\"");
    }
    if (v.contains("radius")) {
        const std::string at = where + ".radius";
        if (!check.number(v["radius"], at, kMaxOutlineExtent / 2.0, "radius", body.radius)) {
            return false;
        }
        if (2.0 * body.radius < kMinPieceWidth) {
            return check.fail(at, "radius " + shortNumber(body.radius) + " is " +
                                      OutlineFaultText(OutlineFault::TooThin));
        }
        return true;
    }
    const Json& pieces = v["pieces"];
    if (!check.array(pieces, where + ".pieces", 1, SceneFormat::kMaxPieces)) {
        return false;
    }
    body.pieces.resize(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string at = where + ".pieces[" + std::to_string(i) + "]";
        const Json& piece = pieces[i];
        if (!check.array(piece, at, 6, 2 * kMaxOutlineCorners)) {
            return false;
        }
        if (piece.size() % 2 != 0) {
            return check.fail(at, "has " + std::to_string(piece.size()) +
                                      " numbers: not x and y pairs");
        }
        for (std::size_t k = 0; k < piece.size(); k += 2) {
            double x = 0.0, y = 0.0;
            if (!check.number(piece[k], at + "[" + std::to_string(k) + "]", kMaxOutlineExtent, "x",
                              x) ||
                !check.number(piece[k + 1], at + "[" + std::to_string(k + 1) + "]",
                              kMaxOutlineExtent, "y", y)) {
                return false;
            }
            body.pieces[i].push_back(Vec2(static_cast<float>(x), static_cast<float>(y)));
        }
        if (const OutlineFault fault = CheckConvexPiece(body.pieces[i]);
            fault != OutlineFault::None) {
            return check.fail(at, fault == OutlineFault::CrossesItself ? std::string("not convex")
                                                                       : OutlineFaultText(fault));
        }
    }
    return true;
}

// A body's or a joint's object and its "kind", one of table's names (name: the table's own); an
// unknown one is named as "unknown NOUN" (noun: what the table lists).
template <class Entry, std::size_t N, class KindT>
bool readKind(Checker& check, const Json& v, const std::string& where, const Entry (&table)[N],
              const char* noun, KindT& kind, std::string& name) {
    if (!v.is_object()) {
        return check.fail(where, "not an object");
    }
    const auto field = v.find("kind");
    if (field == v.end() || !field->is_string()) {
        return check.fail(where, "missing field \"kind\"");
    }
    name = field->get<std::string>();
    const auto known = std::find_if(std::begin(table), std::end(table),
                                    [&](const Entry& k) { return name == k.name; });
    if (known == std::end(table)) {
        return check.fail(where + ".kind",
                          std::string("unknown ") + noun + " \"" + EchoedText::Shown(name) + "\"");
    }
    kind = known->kind;
    return true;
}

bool readBody(Checker& check, const Json& v, const std::string& where,
              const std::vector<SceneFormat::Body>& before, SceneFormat::Body& body, int& parts) {
    std::string name;
    if (!readKind(check, v, where, kKindNames, "kind", body.kind, name)) {
        return false;
    }
    if (body.kind == Kind::Chain) {
        return readChain(check, v, where, before, body, parts);
    }
    if (body.kind == Kind::Drawn) {
        ++parts;
        return readDrawn(check, v, where, body);
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

bool readSettings(Checker& check, const Json& v, int version, SceneFormat::Settings& s) {
    if (!check.members(v, "settings",
                       {{"gravity", true},
                        {"iterations", true},
                        {"sub_steps", true},
                        {"sleeping", true},
                        {"time_scale_eighths", true},
                        {"broad_phase", false}}) ||
        !check.integer(v["gravity"], "settings.gravity", 0, SceneFormat::kMaxGravity, s.gravity) ||
        !check.integer(v["iterations"], "settings.iterations", 1, SceneFormat::kMaxIterations,
                       s.iterations) ||
        !check.integer(v["sub_steps"], "settings.sub_steps", 1, SceneFormat::kMaxSubSteps,
                       s.subSteps) ||
        !check.boolean(v["sleeping"], "settings.sleeping", s.sleeping) ||
        !check.integer(v["time_scale_eighths"], "settings.time_scale_eighths", 1, 32,
                       s.timeScaleEighths)) {
        return false;
    }
    const int scale = s.timeScaleEighths;
    if ((scale & (scale - 1)) != 0) {
        return check.fail("settings.time_scale_eighths",
                          std::to_string(scale) + " is not 1, 2, 4, 8, 16 or 32");
    }
    // Files before version 3 knew no broad phase: they run on the level's hash.
    s.tree = false;
    if (v.contains("broad_phase")) {
        if (version < 3) {
            return check.fail("settings", "unknown field \"broad_phase\" in a version-" +
                                              std::to_string(version) + " file");
        }
        const Json& phase = v["broad_phase"];
        if (phase != "hash" && phase != "tree") {
            return check.fail("settings.broad_phase", "not \"hash\" or \"tree\"");
        }
        s.tree = phase == "tree";
    }
    return true;
}

// How many parts a joint's "part" may name in body: a squid's tentacle segments; a chain's
// links and after them its start and its end anchor (whether those are its own is checked apart).
std::size_t partsOf(const SceneFormat::Body& body) {
    return body.parts.size() + (body.kind == Kind::Chain ? 2u : 0u);
}

// A chain's end made by the chain itself, which a joint may hold; a star's belongs to the star.
bool ownAnchor(const SceneFormat::Anchor& anchor) {
    return anchor.type == SceneFormat::Anchor::Type::Fixed ||
           anchor.type == SceneFormat::Anchor::Type::Free;
}

bool readJointEnd(Checker& check, const Json& v, const std::string& where,
                  const std::vector<SceneFormat::Body>& bodies, SceneFormat::JointEnd& end) {
    if (!check.members(v, where,
                       {{"level", false}, {"body", false}, {"part", false}, {"anchor", false}})) {
        return false;
    }
    if (v.contains("level")) {
        if (v.size() != 1) {
            return check.fail(where, "the level takes no \"body\", \"part\" or \"anchor\"");
        }
        const Json& p = v["level"];
        return check.array(p, where + ".level", 2, 2) &&
               check.number(p[0], where + ".level[0]", SceneFormat::kMaxCoordinate, "x", end.x) &&
               check.number(p[1], where + ".level[1]", SceneFormat::kMaxCoordinate, "y", end.y);
    }
    if (!v.contains("body") || !v.contains("anchor")) {
        return check.fail(where, "needs \"level\", or \"body\" and \"anchor\"");
    }
    const long long count = static_cast<long long>(bodies.size());
    if (!check.integer(v["body"], where + ".body", 0, INT32_MAX, end.body)) {
        return false;
    }
    if (end.body >= count) {
        return check.fail(where + ".body", "no body " + std::to_string(end.body) +
                                               " (the scene has " + std::to_string(count) + ")");
    }
    const SceneFormat::Body& body = bodies[static_cast<std::size_t>(end.body)];
    const long long parts = static_cast<long long>(partsOf(body));
    if (v.contains("part")) {
        if (parts == 0) {
            return check.fail(where + ".part", std::string("a ") +
                                                   SceneFormat::KindName(body.kind) +
                                                   " has no parts");
        }
        if (!check.integer(v["part"], where + ".part", 0, parts - 1, end.part)) {
            return false;
        }
        const auto links = static_cast<int>(body.parts.size());
        if (body.kind == Kind::Chain && end.part >= links &&
            !ownAnchor(end.part == links ? body.start : body.end)) {
            return check.fail(where + ".part", std::string("the chain's ") +
                                                   (end.part == links ? "start" : "end") +
                                                   " is not an anchor of its own");
        }
    } else if (body.kind == Kind::Chain) {
        return check.fail(where, "a chain is joined by one of its links: \"part\" is missing");
    }
    const Json& p = v["anchor"];
    return check.array(p, where + ".anchor", 2, 2) &&
           check.number(p[0], where + ".anchor[0]", SceneFormat::kMaxJointLength, "x", end.x) &&
           check.number(p[1], where + ".anchor[1]", SceneFormat::kMaxJointLength, "y", end.y);
}

bool readJoint(Checker& check, const Json& v, const std::string& where,
               const std::vector<SceneFormat::Body>& bodies, SceneFormat::Joint& joint) {
    std::string name;
    if (!readKind(check, v, where, kJointKindNames, "joint", joint.kind, name)) {
        return false;
    }
    const bool motor = joint.kind == JointKind::Motor;
    const bool spring = joint.kind == JointKind::Spring;
    const bool lengthy = spring || joint.kind == JointKind::Rope;
    const bool weld = joint.kind == JointKind::Weld;
    // Each kind's own fields, all required; another kind's are refused.
    if (!check.members(v, where,
                       {{"kind", true},
                        {"a", true},
                        {"b", true},
                        {"rate", motor},
                        {"torque", motor},
                        {"on", motor},
                        {"length", lengthy},
                        {"stiffness", spring},
                        {"damping", spring},
                        {"angle", weld},
                        {"break_force", true}})) {
        return false;
    }
    const auto refuse = [&](const char* field) {
        return check.fail(where, "a " + name + " has no \"" + field + "\"");
    };
    for (const char* field : {"rate", "torque", "on"}) {
        if (!motor && v.contains(field)) {
            return refuse(field);
        }
    }
    for (const char* field : {"stiffness", "damping"}) {
        if (!spring && v.contains(field)) {
            return refuse(field);
        }
    }
    if (!lengthy && v.contains("length")) {
        return refuse("length");
    }
    if (!weld && v.contains("angle")) {
        return refuse("angle");
    }
    if (!readJointEnd(check, v["a"], where + ".a", bodies, joint.a) ||
        !readJointEnd(check, v["b"], where + ".b", bodies, joint.b)) {
        return false;
    }
    if (joint.a.body < 0 && joint.b.body < 0) {
        return check.fail(where, "joins the level to itself");
    }
    if (joint.a.body == joint.b.body && joint.a.part == joint.b.part) {
        return check.fail(where, "joins a body to itself");
    }
    // Nothing negative: a negative limit would read as no limit below.
    const auto positive = [&](const char* field, double limit, const char* what, double& out) {
        if (!check.number(v[field], where + "." + field, limit, what, out)) {
            return false;
        }
        if (out < 0.0) {
            return check.fail(where + "." + field,
                              std::string(what) + " " + shortNumber(out) + " is below 0");
        }
        return true;
    };
    if (!positive("break_force", SceneFormat::kMaxBreakForce, "force", joint.breakForce)) {
        return false;
    }
    if (motor && (!check.number(v["rate"], where + ".rate", SceneFormat::kMaxMotorRate, "rate",
                                joint.rate) ||
                  !positive("torque", SceneFormat::kMaxMotorTorque, "torque", joint.torque) ||
                  !check.boolean(v["on"], where + ".on", joint.on))) {
        return false;
    }
    if (lengthy && !positive("length", SceneFormat::kMaxJointLength, "length", joint.length)) {
        return false;
    }
    if (spring &&
        (!positive("stiffness", SceneFormat::kMaxStiffness, "stiffness", joint.stiffness) ||
         !positive("damping", SceneFormat::kMaxDamping, "damping", joint.damping))) {
        return false;
    }
    if (weld &&
        !check.number(v["angle"], where + ".angle", SceneFormat::kMaxAngle, "angle", joint.angle)) {
        return false;
    }
    return true;
}

bool readCamera(Checker& check, const Json& v, SceneFormat::Camera& c) {
    constexpr int kPlace = SceneFormat::kMaxCameraPlace;
    return check.members(v, "camera",
                         {{"zoom_step", true}, {"x", true}, {"y", true}, {"following", true}}) &&
           check.integer(v["zoom_step"], "camera.zoom_step", SceneFormat::kMinZoomStep,
                         SceneFormat::kMaxZoomStep, c.zoomStep) &&
           check.integer(v["x"], "camera.x", -kPlace, kPlace, c.x) &&
           check.integer(v["y"], "camera.y", -kPlace, kPlace, c.y) &&
           check.boolean(v["following"], "camera.following", c.following);
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
    case Kind::Drawn:
        return 5;
    }
    return 6;
}

} // namespace

std::string SceneFormat::Write(const Scene& scene) {
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
    if (scene.hasSettings) {
        const Settings& s = scene.settings;
        out += ",\n \"settings\": {\"gravity\": ";
        appendInt(out, s.gravity);
        out += ", \"iterations\": ";
        appendInt(out, s.iterations);
        out += ", \"sub_steps\": ";
        appendInt(out, s.subSteps);
        out += ", \"sleeping\": ";
        out += s.sleeping ? "true" : "false";
        out += ", \"time_scale_eighths\": ";
        appendInt(out, s.timeScaleEighths);
        out += s.tree ? ", \"broad_phase\": \"tree\"}" : ", \"broad_phase\": \"hash\"}";
    }
    if (scene.hasCamera) {
        const Camera& c = scene.camera;
        out += ",\n \"camera\": {\"zoom_step\": ";
        appendInt(out, c.zoomStep);
        out += ", \"x\": ";
        appendInt(out, c.x);
        out += ", \"y\": ";
        appendInt(out, c.y);
        out += ", \"following\": ";
        out += c.following ? "true" : "false";
        out += '}';
    }
    appendMap(out, "foreground_tiles", scene.foregroundTiles);
    appendMap(out, "foreground_edges", scene.foregroundEdges);
    appendMap(out, "background_tiles", scene.backgroundTiles);
    out += ",\n \"bodies\": [";
    for (std::size_t i = 0; i < scene.bodies.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        appendBody(out, scene.bodies[i]);
    }
    out += scene.bodies.empty() ? "]" : "\n ]";
    // Only scenes with joints have the field: one without reads the same in older programs.
    if (!scene.joints.empty()) {
        out += ",\n \"joints\": [";
        for (std::size_t i = 0; i < scene.joints.size(); ++i) {
            out += i == 0 ? "\n  " : ",\n  ";
            appendJoint(out, scene.joints[i]);
        }
        out += "\n ]";
    }
    out += "\n}\n";
    return out;
}

bool SceneFormat::Read(std::string_view text, Scene& scene, std::string& error) {
    // Whatever line a fault below makes, it reaches the terminal without raw control bytes.
    struct EscapeOnReturn {
        std::string& line;
        ~EscapeOnReturn() { line = EchoedText::Escaped(line); }
    } escape{error};
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
                        {"settings", false},
                        {"camera", false},
                        {"foreground_tiles", true},
                        {"foreground_edges", true},
                        {"background_tiles", true},
                        {"bodies", true},
                        {"joints", false}})) {
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
    if (root.contains("settings")) {
        // Version 1 had no settings: such a file is not one this program wrote.
        if (version < 2) {
            error = "scene: unknown field \"settings\" in a version-1 file";
            return false;
        }
        if (!readSettings(check, root["settings"], version, scene.settings)) {
            return failed();
        }
        scene.hasSettings = true;
    }
    if (root.contains("camera")) {
        if (version < 3) {
            error =
                "scene: unknown field \"camera\" in a version-" + std::to_string(version) + " file";
            return false;
        }
        if (!readCamera(check, root["camera"], scene.camera)) {
            return failed();
        }
        scene.hasCamera = true;
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
            error = where + ": a " + SceneFormat::KindName(body.kind) + " listed after a " +
                    SceneFormat::KindName(scene.bodies[i - 1].kind) +
                    " (balls, cubes, stars, squids, chains, then drawn bodies)";
            return false;
        }
        // Version 2 had no drawn bodies: such a file is not one this program wrote.
        if (body.kind == Kind::Drawn && version < 3) {
            error = where + ": a drawn body in a version-" + std::to_string(version) + " file";
            return false;
        }
        if (body.kind == Kind::Player && ++players > 1) {
            error = where + ": a second player";
            return false;
        }
    }
    if (root.contains("joints")) {
        // Joints came with version 3: an older file naming them is not one this program wrote.
        if (version < 3) {
            error =
                "scene: unknown field \"joints\" in a version-" + std::to_string(version) + " file";
            return false;
        }
        const Json& joints = root["joints"];
        if (!check.array(joints, "joints", 0, kMaxJoints)) {
            return failed();
        }
        scene.joints.resize(joints.size());
        for (std::size_t i = 0; i < joints.size(); ++i) {
            if (!readJoint(check, joints[i], "joints[" + std::to_string(i) + "]", scene.bodies,
                           scene.joints[i])) {
                return failed();
            }
        }
    }
    return true;
}

const char* SceneFormat::JointKindName(JointKind kind) {
    for (const auto& k : kJointKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "?";
}

const char* SceneFormat::KindName(Kind kind) {
    for (const auto& k : kKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "?";
}

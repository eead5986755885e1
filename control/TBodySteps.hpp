#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "bodies/TMachineJoint.hpp"
#include "physics/CPVect.hpp"
#include "scene/SceneFormat.hpp"

class CPBody;
class TControl;
class TLayer;
class TObject;

// Bodies as the edit tools change them, and the undo steps of those changes. A body acted on
// gets a serial number that stays with it while steps take it away and bring it back (its
// physics objects are made anew then), so a step finds the live body again by it. A step keeps
// the body's scene entry (scene/SceneFormat::Body) before and after: taking it back or doing it
// again puts that entry into the game, leaving every other body where it is now.
// Machine joints are kept the same way: a joint acted on gets a serial too, and its entry names
// its bodies by their serials, so that it is made again between the bodies of now, also when
// they were removed and brought back in between.
class TBodySteps {
  public:
    // One end of a joint as a step keeps it: the body's serial (0: the level) and which of its
    // physics bodies (PartOf's numbering), the anchor in that body's coordinates (pixels).
    struct JointEnd {
        unsigned serial = 0;
        int part = 0;
        CPVect anchor = ZeroVect;
    };
    // A joint as a step keeps it: its settings, ends, length (pixels) and a weld's angle
    // (degrees), as TMachineJoint::Init takes them.
    struct JointEntry {
        TMachineJoint::Params params;
        JointEnd a, b;
        float length = 0.0f, angle = 0.0f;
    };
    // One body's or one joint's part of a step: absent before (drawn, duplicated, joined) or
    // after (deleted), or its entry on both sides (moved, turned, changed). A joint's change
    // has joint set and its entries in jointWas and jointNow; its serial is a joint's.
    struct Change {
        unsigned serial = 0;
        bool before = false, after = false;
        SceneFormat::Body was, now;
        bool joint = false;
        JointEntry jointWas, jointNow;
    };
    // A live body found from one of its physics bodies: its kind, its key body (the body itself,
    // a squid's own, a chain's first link) and its owner (non-owning, valid until it is removed).
    struct Found {
        SceneFormat::Kind kind = SceneFormat::Kind::Ball;
        std::shared_ptr<CPBody> key;
        TObject* owner = nullptr;
    };

    // Keeps the controller (non-owning: it spawns what a step brings back); forgets serials.
    void init(TControl* control);
    // Where the tools' steps go (the editor's history), each already done when it is handed on.
    std::function<void(std::vector<Change>)> onStep;
    // Hands one step on to onStep.
    void Push(std::vector<Change> changes) const;
    // A body was just made by a tool (key: its key body): the step that takes it away again.
    void Made(const std::shared_ptr<CPBody>& key);
    // The live body one of whose physics bodies is part (a ball's, a tentacle segment, a link,
    // a chain's own anchor); false when none owns it.
    static bool Find(const CPBody* part, Found& found);
    // The fixed drawn body under world point p (the newest when several); fixed bodies are no
    // movable shapes for the space's queries.
    static bool FindFixedAt(CPVect p, Found& found);
    // The live body of the key body; false when it is gone.
    static bool FindKey(const std::shared_ptr<CPBody>& key, Found& found);
    // The body's scene entry now (a chain's end tied to a star names the star among the live
    // stars). False when the owner is gone.
    bool Capture(const Found& body, SceneFormat::Body& entry) const;
    // Makes a body from entry (a player entry makes a plain squid: there is one player); returns
    // its key body, nullptr when nothing could be made.
    std::shared_ptr<CPBody> Make(const SceneFormat::Body& entry);
    // Removes the body with all its parts now (a squid with its tentacle, a chain with its links
    // and anchors). The player squid is never removed: false.
    static bool Remove(const Found& body);
    // Puts the live body in entry's state (positions, angles, speeds of every part).
    static void Restore(const Found& body, const SceneFormat::Body& entry);
    // Calls visit(body) for each physics body of the live body.
    template <class Visit> static void ForEachPart(const Found& body, Visit&& visit);
    // Turns the whole body by degrees about its key body's centre; its parts keep their speeds.
    static void Turn(const Found& body, float degrees);
    // entry moved so that its key body's centre is at p, every speed zero.
    static SceneFormat::Body MovedTo(const SceneFormat::Body& entry, CPVect p);

    // The serial of the body with this key body, given now when it has none.
    unsigned SerialOf(const std::shared_ptr<CPBody>& key);
    // The live body with this serial; false when it is gone.
    bool Live(unsigned serial, Found& found) const;
    // Takes a step back (undoing) or does it again: each change's other side put into the game
    // in turn (backwards when undoing: a step lists a body's joints before the body). False
    // when a body or joint was gone or could not be made (the rest is still applied).
    bool Apply(const std::vector<Change>& changes, bool undoing);

    // The index of physics body part among the live body's (0 its key body, then a squid's
    // segments, a chain's links and then its anchors); -1 when it is none of them.
    static int PartOf(const Found& body, const CPBody* part);
    // The live body's physics body of that index (PartOf's); nullptr when there is none.
    static std::shared_ptr<CPBody> PartAt(const Found& body, int index);
    // The joint's entry now, its bodies named by their serials (given now when they have
    // none). False when the joint is broken or an end is on no body of a kind.
    bool CaptureJoint(const TMachineJoint& joint, JointEntry& entry);
    // Makes the joint of entry between the live bodies its ends name, in layer (the level's
    // foreground); nullptr when a body is gone or the joint cannot be made.
    std::shared_ptr<TMachineJoint> MakeJoint(const JointEntry& entry);
    // A joint was just made by a tool: the step that takes it away again.
    void JointMade(const std::shared_ptr<TMachineJoint>& joint);
    // The serial of the joint, given now when it has none.
    unsigned JointSerialOf(const std::shared_ptr<TMachineJoint>& joint);
    // The intact joint with this serial; nullptr when it is gone.
    std::shared_ptr<TMachineJoint> LiveJoint(unsigned serial) const;
    // Removes every intact joint on a part of the live body now and returns the changes that
    // bring them back (each absent after), oldest joint first: a body's removal takes them
    // along in the same step, listed before the body's own change.
    std::vector<Change> RemoveJointsOn(const Found& body);
    // Removes the joint now with the change that brings it back; false when it is broken.
    bool RemoveJoint(const std::shared_ptr<TMachineJoint>& joint, Change& change);

  private:
    void remember(unsigned serial, const std::shared_ptr<CPBody>& key);
    // Every physics body of the live body in PartOf's order (empty when it is gone).
    static std::vector<std::shared_ptr<CPBody>> parts(const Found& body);
    void rememberJoint(unsigned serial, const std::shared_ptr<TMachineJoint>& joint);
    bool captureEnd(const std::shared_ptr<CPBody>& body, CPVect anchor, JointEnd& end);
    std::shared_ptr<CPBody> endBody(const JointEnd& end) const;
    bool applyJoint(const Change& change, bool undoing);
    static void forEachPartOf(const Found& body, void (*visit)(CPBody&, void*), void* context);

    TControl* control_ = nullptr;
    std::vector<std::pair<unsigned, std::weak_ptr<CPBody>>> serials_;
    std::vector<std::pair<unsigned, std::weak_ptr<TMachineJoint>>> jointSerials_;
    unsigned next_ = 1;
};

template <class Visit> void TBodySteps::ForEachPart(const Found& body, Visit&& visit) {
    forEachPartOf(
        body, [](CPBody& b, void* context) { (*static_cast<Visit*>(context))(b); }, &visit);
}

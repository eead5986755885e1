#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "physics/CPVect.hpp"
#include "scene/SceneFormat.hpp"

class CPBody;
class TControl;
class TObject;

// Bodies as the edit tools change them, and the undo steps of those changes. A body acted on
// gets a serial number that stays with it while steps take it away and bring it back (its
// physics objects are made anew then), so a step finds the live body again by it. A step keeps
// the body's scene entry (scene/SceneFormat::Body) before and after: taking it back or doing it
// again puts that entry into the game, leaving every other body where it is now.
class TBodySteps {
  public:
    // One body's part of a step: absent before (drawn, duplicated) or after (deleted), or its
    // entry on both sides (moved, turned, changed).
    struct Change {
        unsigned serial = 0;
        bool before = false, after = false;
        SceneFormat::Body was, now;
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
    // in turn. False when a body was gone or could not be made (the rest is still applied).
    bool Apply(const std::vector<Change>& changes, bool undoing);

  private:
    void remember(unsigned serial, const std::shared_ptr<CPBody>& key);
    static void forEachPartOf(const Found& body, void (*visit)(CPBody&, void*), void* context);

    TControl* control_ = nullptr;
    std::vector<std::pair<unsigned, std::weak_ptr<CPBody>>> serials_;
    unsigned next_ = 1;
};

template <class Visit> void TBodySteps::ForEachPart(const Found& body, Visit&& visit) {
    forEachPartOf(
        body, [](CPBody& b, void* context) { (*static_cast<Visit*>(context))(b); }, &visit);
}

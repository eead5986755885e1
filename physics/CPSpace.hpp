#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "physics/CPObject.hpp"
#include "physics/CPVect.hpp"

class CPBody;
class CPShape;
class CPJoint;
class CPSpaceHash;
struct ContactLayoutScratch;

// A physics world. Owns every body, shape and joint added to it until they are freed; when the
// space itself is destroyed it frees them all at once, in time linear in their number however
// many of them touch (wrappers held elsewhere report IsFreed() afterwards).
class CPSpace : public CPObject {
  public:
    static std::shared_ptr<CPSpace> Create(); // 10 iterations, gravity (0, 0), damping 1
    ~CPSpace() override;

    void SetGravity(CPVect g); // pixels/s^2, applied by the default velocity integration
    CPVect GetGravity() const;
    // Both switch the space to spatial hashing with that cell size (pixels) and cell count and
    // re-index the shapes already present (the library keeps one setting for both sets).
    void ResizeStaticHash(float cell, int count);
    void ResizeActiveHash(float cell, int count);
    // How the space finds the pairs of shapes that may touch: the spatial hash sized by
    // ResizeStaticHash (a level's choice) or the library's bounding-box trees (a new space's).
    // Switching files every shape present in the new index at once, between steps; the
    // simulation then differs from the other setting's in the order of its contacts.
    enum class BroadPhase { Hash, Tree };
    // To Hash: the last size given to ResizeStaticHash (nothing happens before one was given).
    void UseBroadPhase(BroadPhase phase);
    BroadPhase GetBroadPhase() const { return broadPhase_; }
    void SetIterations(int n); // solver iterations per step
    int GetIterations() const;
    // Sleeping: a group of touching bodies that has moved slower than the idle speed for
    // `seconds` stops being simulated until something wakes it (a contact with a moving body,
    // a new joint or a removed one, a velocity or force set on it, WakeBodiesTouching). Off
    // (every body simulated at every step) while seconds is infinite, as a new space is.
    void SetSleepTime(float seconds);
    float GetSleepTime() const;
    void SetIdleSpeed(float pixelsPerSecond); // 0: the library's guess from gravity and step
    // Wakes the sleeping bodies with a shape overlapping the box (pixels): done before the
    // ground there changes, so what rested on it falls as it would have. Returns how many
    // groups woke (touching bodies sleep and wake together).
    int WakeBodiesTouching(CPVect min, CPVect max);
    int CountSleepingBodies() const; // bodies added with AddBody that sleep now
    // Wakes every sleeping body (turning sleeping off leaves sleepers asleep otherwise).
    void WakeAll();
    // Shapes of collision types a and b never collide (either order); re-registering is harmless.
    void AddCollisionPairFunc(int a, int b, std::nullptr_t noFunction = nullptr);
    // Advance by dt seconds; velocity functions run inside. Every kTidyEvery steps the
    // library's contacts are laid out again in the order the solver visits them (the motion
    // is the same; memory is walked in order).
    void DoStep(float dt);
    static constexpr std::uint32_t kTidyEvery = 180;
    // Bytes the layout's scratch holds for the next time: it grows with the biggest pile the
    // space has had, as the library's own pools do, and is given back with the space.
    std::size_t TidyScratchBytes() const;
    // DoStep calls so far: the space's simulated time in steps (wraps at 2^32; compare
    // differences).
    std::uint32_t StepsTaken() const { return stepsTaken_; }

    void AddBody(const std::shared_ptr<CPBody>& body);          // simulated from now on
    void AddShape(const std::shared_ptr<CPShape>& shape);       // collides; counted as active
    void AddStaticShape(const std::shared_ptr<CPShape>& shape); // collides; counted as static
    void AddJoint(const std::shared_ptr<CPJoint>& joint);       // solved at every step

    std::shared_ptr<CPSpaceHash> GetActiveShapes(); // same view object on every call
    std::shared_ptr<CPSpaceHash> GetStaticShapes(); // same view object on every call

    // The shape nearest to p (at most maxDistance pixels outside it; inside counts as nearer)
    // among those whose body the simulation moves: static and kinematic bodies are skipped.
    // nearestPoint receives the shape's point closest to p (p itself when p is inside). Null if
    // there is none.
    std::shared_ptr<CPShape> NearestMovableShape(CPVect p, float maxDistance, CPVect& nearestPoint);
    // The distinct bodies the simulation moves that have a shape containing p (pixels), newest
    // first (by the latest of their shapes added to the space), at most out.size() of them.
    // Returns how many were written to out. Static and kinematic bodies are skipped.
    int MovableBodiesAt(CPVect p, std::span<std::shared_ptr<CPBody>> out);
    // True when a shape whose body the simulation moves overlaps the axis-aligned box from
    // corner min to corner max (pixels). Static and kinematic bodies are skipped. Allocates one
    // short-lived query shape.
    bool MovableShapeInBox(CPVect min, CPVect max);

    // Frees every body, shape and joint of the space except the static shapes added with
    // AddStaticShape and their bodies (the level stays): what starting a scene over removes.
    // Quick with tens of thousands of objects (see the .cpp). Wrappers held elsewhere report
    // IsFreed() afterwards.
    void FreeMovables();

    int CountBodies() const; // bodies added with AddBody and not freed
    // Those bodies (each a CPBody), in the order added; valid until a body is added or freed.
    const std::vector<std::shared_ptr<CPObject>>& BodyList() const { return lists_[Bodies]; }
    int CountJoints() const;       // joints added and not freed
    int CountActiveShapes() const; // shapes added with AddShape and not freed
    int CountStaticShapes() const; // shapes added with AddStaticShape and not freed

    // Remembered contacts walked so far, program-wide, by taking shapes out of spaces one at a
    // time (the library walks its whole contact table for each): what makes clearing a pile
    // slow. Lets tests bound that cost in counts rather than time.
    static std::uint64_t ContactsWalkedByRemovals();

  private:
    friend class CPSpaceHash;
    friend class CPBody;
    friend class CPShape;
    friend class CPJoint;
    enum List { Bodies, HiddenBodies, ActiveShapes, StaticShapes, Joints, ListCount };

    CPSpace() = default;
    void Enlist(const std::shared_ptr<CPObject>& object, List list);
    static void Unlist(CPObject& object);
    // False while the object's space is being destroyed: the library space is already gone and
    // the object is freed without being taken out of it.
    static bool TakenOutOneByOne(const CPObject& object);
    // Counts the walk of one shape's removal from a space remembering that many contacts.
    static void NoteShapeRemoval(int contactsRemembered);
    void AdoptStaticBody(CPBody& body);

    std::shared_ptr<CPSpaceHash> activeShapes, staticShapes;
    std::vector<std::shared_ptr<CPObject>> lists_[ListCount];
    std::uint32_t stepsTaken_ = 0;
    float hashCell_ = 0.0f;
    int hashCount_ = 0;
    BroadPhase broadPhase_ = BroadPhase::Tree; // the library's own until a hash is sized
    bool closing_ = false; // set by the destructor once the library space is freed
    // What DoStep's periodic tidying of the library's contacts reuses (made at its first use).
    std::shared_ptr<ContactLayoutScratch> contactLayout_;
};

#pragma once

#include <memory>
#include <string>

#include "bodies/TMachineJoint.hpp"
#include "control/ToolInput.hpp"
#include "physics/CPVect.hpp"

class CPBody;
class TBodySteps;
class TLevel;

// Edit mode's joint tools: Hinge, Motor and Weld join at a click the two newest bodies under
// the point, or the newest one and what holds still there (a fixed drawn body, else the level);
// Spring and Rope are dragged from a point to another, joining what lies under each end, and
// show the spring or rope stretching while dragged. A click or drag that would join nothing
// makes nothing and says why at the point for a moment. The world runs on meanwhile. Each joint
// made is one step of the editor's history. The settings keys (ToolInput::jointKeys) change the
// settings of the next joint.
class TJointTools {
  public:
    using Params = TMachineJoint::Params;
    static constexpr int kRefusedFrames = 45; // a refusal shows 0.75 s at 60 Hz
    static constexpr const char* kNothingHere = "nothing here to join";
    static constexpr const char* kOneBody = "both ends on one body";
    static constexpr const char* kLevelOnly = "both ends on the level";
    static constexpr const char* kCannot = "cannot be joined";

    Params next; // the next joint's settings (its kind is the tool's)

    // Keeps the level (non-owning use of its foreground) and the body steps that take each joint
    // made into the history (non-owning, outlives this). Nothing under way.
    void init(std::shared_ptr<TLevel> level, TBodySteps* steps);
    // The tool for the next clicks or drags; drops a drag under way.
    void begin(JointKind kind);
    JointKind Kind() const { return next.kind; }
    // One frame of the tool's input (a joint tool is active): a click joins, a drag is followed.
    void update(const ToolInput& in);
    // Drops a drag under way (Escape, another tool). True if there was one.
    bool Cancel();
    bool Dragging() const { return dragging_; }
    // The joint under way (a drag), the mark the next click makes at pointer (world pixels), or a
    // refusal with its reason, under the current origin. Leaves white, alpha 1, alpha blending.
    void draw(CPVect pointer) const;
    // Counts a frame of a refusal's showing.
    void tick();
    int RefusedFrames() const { return refusedFrames_; }
    const std::string& RefusedWhy() const { return refusedWhy_; }

    // Why a joint of kind would not be made from p to q (p alone for a click's kinds), "" when
    // it would; a and b receive the bodies it would join.
    std::string Ends(JointKind kind, CPVect p, CPVect q, std::shared_ptr<CPBody>& a,
                     std::shared_ptr<CPBody>& b) const;
    // The settings after the keys of one frame: each hit moves its setting on by one choice
    // (speed, stiffness, damping, breaking force through TMachineJoint's lists; the direction
    // and the motor's switch turn over). The kind stays.
    static Params Adjusted(const Params& params, const ToolInput::JointKeys& keys);
    // The short line of params for the palette: what the keys change for that kind.
    static std::string Describe(const Params& params);

  private:
    // The body an end lands on at p: the newest the simulation moves, else a fixed drawn body,
    // else the level's.
    std::shared_ptr<CPBody> endAt(CPVect p) const;
    // What holds still at p: a fixed drawn body, else the level's body.
    std::shared_ptr<CPBody> stillAt(CPVect p) const;
    // Why a drag's ends a and b join nothing ("" when they join).
    std::string refusal(const std::shared_ptr<CPBody>& a, const std::shared_ptr<CPBody>& b) const;
    // A click's joint at q, or the drag's from its start to q; else the refusal shown at q.
    void join(CPVect q);
    void refuse(CPVect at, std::string why);

    std::shared_ptr<TLevel> level_;
    TBodySteps* steps_ = nullptr;
    bool dragging_ = false;
    std::shared_ptr<CPBody> dragBody_; // the body under the drag's start
    CPVect dragAnchor_ = ZeroVect;     // in dragBody_'s coordinates
    CPVect dragPointer_ = ZeroVect;    // where the drag is now
    CPVect refusedAt_ = ZeroVect;
    std::string refusedWhy_;
    int refusedFrames_ = 0;
};

#pragma once

#include <memory>
#include <optional>

#include "control/TBodySteps.hpp"
#include "control/TGrab.hpp"
#include "control/ToolInput.hpp"

class CPSpace;
class TBodySteps;
class TLevel;

// Edit mode's Select tool: a click picks the machine joint whose mark is under the pointer, else
// the body under it (any kind), and marks it; Delete removes a picked joint and the joint keys
// change its settings. A drag moves a picked body, held as a grab holds a body so that the others
// react to it, and it keeps no speed when let go; turns go 15 degrees a notch; Delete removes it (a
// squid or a chain as a whole, with the joints on it; never the player); a duplicate is made at the
// pointer. Each of these is one step of the editor's history.
class TSelection {
  public:
    static constexpr float kTurnDegrees = 15.0f;
    static constexpr float kJointReach = 8.0f; // pixels from a joint's mark that pick it

    // Keeps the level (non-owning use of its space) and the body steps that capture, change and
    // hand on each action as a step of the history (non-owning, outlives this). Nothing selected.
    void init(std::shared_ptr<TLevel> level, TBodySteps* steps);
    // One frame of the tool's input (the Select tool is active).
    void update(const ToolInput& in);
    // Forgets the selection and ends a move under way (kept as it is). True if there was one.
    bool Drop();
    // Ends a drag as a release would (another tool chosen, edit mode left).
    void EndDrag();
    bool Dragging() const { return grab_.Active() || dragging_; }
    // The body selected now; false when none (or it is gone).
    bool Selected(TBodySteps::Found& found) const;
    // Selects the live body whose key body is key (tests and the build tools' new bodies).
    void Select(const std::shared_ptr<CPBody>& key);
    // The joint selected now (intact), or nullptr.
    std::shared_ptr<TMachineJoint> SelectedJoint() const;
    // Selects joint instead of a body (tests).
    void SelectJoint(const std::shared_ptr<TMachineJoint>& joint);
    // The mark around the selected body or joint, in world pixels under the current origin.
    void draw() const;

  private:
    void pick(CPVect p);
    void change(const TBodySteps::Found& body, const SceneFormat::Body& before);
    void duplicate(const SceneFormat::Body& entry, CPVect at);
    void changeJoint(const std::shared_ptr<TMachineJoint>& joint, const ToolInput::JointKeys& keys);

    std::shared_ptr<TLevel> level_;
    TBodySteps* steps_ = nullptr;
    std::shared_ptr<CPBody> selected_;     // key body of the selection
    std::shared_ptr<TMachineJoint> joint_; // or the joint selected
    TGrab grab_;
    bool dragging_ = false;
    CPVect lastPointer_ = ZeroVect; // where the drag was at the last frame
    SceneFormat::Body beforeDrag_;
    std::optional<SceneFormat::Body> copied_;
};

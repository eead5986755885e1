#include "control/TSelection.hpp"

#include <cmath>
#include <utility>
#include <vector>

#include "bodies/TDrawn.hpp"
#include "bodies/TMachineJoint.hpp"
#include "control/DebugDraw.hpp"
#include "control/TJointTools.hpp"
#include "media/Graphics.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

using Found = TBodySteps::Found;

// Equal where an action can change them: every part's place and a drawn body's make.
bool unchanged(const SceneFormat::Body& a, const SceneFormat::Body& b) {
    auto same = [](const CPExactState& s, const CPExactState& t) {
        return s.x == t.x && s.y == t.y && s.angle == t.angle;
    };
    if (!same(a.state, b.state) || a.parts.size() != b.parts.size() || a.material != b.material ||
        a.fixed != b.fixed) {
        return false;
    }
    for (std::size_t i = 0; i < a.parts.size(); ++i) {
        if (!same(a.parts[i], b.parts[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

void TSelection::init(std::shared_ptr<TLevel> level, TBodySteps* steps) {
    level_ = std::move(level);
    steps_ = steps;
    grab_.Drop();
    dragging_ = false;
    selected_.reset();
    joint_.reset();
    copied_.reset();
}

bool TSelection::Selected(Found& found) const {
    return TBodySteps::FindKey(selected_, found);
}

void TSelection::Select(const std::shared_ptr<CPBody>& key) {
    EndDrag();
    selected_ = key;
    joint_.reset();
}

std::shared_ptr<TMachineJoint> TSelection::SelectedJoint() const {
    return joint_ && joint_->_life != 0 && joint_->IsIntact() ? joint_ : nullptr;
}

void TSelection::SelectJoint(const std::shared_ptr<TMachineJoint>& joint) {
    EndDrag();
    selected_.reset();
    joint_ = joint;
}

bool TSelection::Drop() {
    EndDrag();
    Found found;
    const bool had = Selected(found) || SelectedJoint();
    selected_.reset();
    joint_.reset();
    return had;
}

void TSelection::pick(CPVect p) {
    selected_.reset();
    joint_.reset();
    if (!level_ || !level_->_FGLayer) {
        return;
    }
    // A joint's mark lies over the bodies it joins: it is picked first, or it could never be.
    if (std::shared_ptr<TMachineJoint> joint = TMachineJoint::MarkAt(p, kJointReach)) {
        joint_ = std::move(joint);
        return;
    }
    const std::shared_ptr<CPSpace>& space = level_->_FGLayer->spaceMap;
    CPVect point = p;
    const std::shared_ptr<CPShape> shape = space->NearestMovableShape(p, TGrab::kReach, point);
    Found found;
    const bool movable = shape && TBodySteps::Find(shape->GetBody().get(), found);
    if (!movable && !TBodySteps::FindFixedAt(p, found)) {
        return;
    }
    selected_ = found.key;
    if ((*steps_).Capture(found, beforeDrag_)) {
        // Held at the point pressed, as a grab holds it: what it pushes reacts to it. A fixed
        // body is put where the pointer goes.
        if (movable) {
            grab_.Begin(space, p);
        }
        dragging_ = true;
        lastPointer_ = p;
    }
}

void TSelection::EndDrag() {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    grab_.Drop();
    Found found;
    if (!Selected(found)) {
        return;
    }
    // Put down where it was let go: a move is no throw.
    TBodySteps::ForEachPart(found, [](CPBody& b) {
        CPExactState s = b.GetExactState();
        s.vx = s.vy = s.angularVelocity = 0.0;
        b.SetExactState(s);
    });
    change(found, beforeDrag_);
}

void TSelection::change(const Found& body, const SceneFormat::Body& before) {
    TBodySteps& steps = *steps_;
    TBodySteps::Change c;
    c.serial = steps.SerialOf(body.key);
    c.before = c.after = true;
    c.was = before;
    if (!steps.Capture(body, c.now) || unchanged(c.was, c.now)) {
        return;
    }
    steps_->Push({std::move(c)});
}

void TSelection::duplicate(const SceneFormat::Body& entry, CPVect at) {
    TBodySteps& steps = *steps_;
    const std::shared_ptr<CPBody> key = steps.Make(TBodySteps::MovedTo(entry, at));
    Found made;
    if (!TBodySteps::FindKey(key, made)) {
        return;
    }
    TBodySteps::Change c;
    c.serial = steps.SerialOf(key);
    c.after = true;
    steps.Capture(made, c.now);
    steps_->Push({std::move(c)});
    EndDrag();
    selected_ = key;
}

void TSelection::changeJoint(const std::shared_ptr<TMachineJoint>& joint,
                             const ToolInput::JointKeys& keys) {
    TBodySteps& steps = *steps_;
    TBodySteps::Change c;
    c.joint = true;
    c.before = c.after = true;
    if (!steps.CaptureJoint(*joint, c.jointWas)) {
        return;
    }
    // Only what the joint's kind has: a hinge keeps no hidden motor settings to surprise later.
    ToolInput::JointKeys own = keys;
    if (joint->_params.kind != JointKind::Motor) {
        own.speed = own.reverse = own.power = 0;
    }
    if (joint->_params.kind != JointKind::Spring) {
        own.stiffness = own.damping = 0;
    }
    const TMachineJoint::Params params = TJointTools::Adjusted(joint->_params, own);
    if (params == joint->_params) {
        return;
    }
    joint->Change(params);
    c.serial = steps.JointSerialOf(joint);
    c.after = steps.CaptureJoint(*joint, c.jointNow);
    steps.Push({std::move(c)});
}

void TSelection::update(const ToolInput& in) {
    if (in.pressed) {
        EndDrag();
        pick(in.pressPoint);
    }
    if (const std::shared_ptr<TMachineJoint> joint = SelectedJoint()) {
        if (in.jointKeys.Any()) {
            changeJoint(joint, in.jointKeys);
        }
        TBodySteps::Change c;
        if (in.deletes > 0 && (*steps_).RemoveJoint(joint, c)) {
            steps_->Push({std::move(c)});
            joint_.reset();
        }
    } else {
        joint_.reset(); // broken, or gone with a body
    }
    Found found;
    const bool selected = Selected(found);
    if (dragging_) {
        if (!selected) {
            dragging_ = false;
            grab_.Drop();
        } else if (in.advances && grab_.Active()) {
            grab_.Follow(in.held ? in.pointer : in.releasePoint);
        } else {
            // No step moves it while paused (nor a fixed body ever): it is put where the pointer
            // went, every part alike.
            const CPVect p = in.held ? in.pointer : in.releasePoint;
            const double dx = p.x - lastPointer_.x, dy = p.y - lastPointer_.y;
            TBodySteps::ForEachPart(found, [&](CPBody& b) {
                CPExactState s = b.GetExactState();
                s.x += dx;
                s.y += dy;
                b.WakeTouching();
                b.SetExactState(s);
                b.WakeTouching();
            });
            grab_.Hold(p);
        }
        lastPointer_ = in.held ? in.pointer : in.releasePoint;
        if (!in.held) {
            EndDrag();
        }
    }
    if (!selected) {
        selected_.reset();
    }
    if (selected && in.copy) {
        SceneFormat::Body entry;
        if ((*steps_).Capture(found, entry)) {
            copied_ = std::move(entry);
        }
    }
    if (selected && in.turns != 0 && !dragging_) {
        SceneFormat::Body before;
        (*steps_).Capture(found, before);
        TBodySteps::Turn(found, kTurnDegrees * static_cast<float>(in.turns));
        change(found, before);
    }
    if (selected && found.kind == SceneFormat::Kind::Drawn && (in.material || in.fix) &&
        !dragging_) {
        SceneFormat::Body before;
        (*steps_).Capture(found, before);
        auto* drawn = static_cast<TDrawn*>(found.owner);
        if (in.material) {
            drawn->setMaterial(NextMaterial(drawn->material()));
        }
        if (in.fix) {
            drawn->setFixed(!drawn->fixed());
        }
        change(found, before);
    }
    if (selected && in.deletes > 0 && !dragging_) {
        TBodySteps::Change c;
        c.serial = (*steps_).SerialOf(found.key);
        c.before = (*steps_).Capture(found, c.was);
        if (c.was.kind != SceneFormat::Kind::Player && c.before) {
            // Its joints go with it, listed first: taking the step back makes the body before
            // the joints that hold it.
            std::vector<TBodySteps::Change> step = (*steps_).RemoveJointsOn(found);
            if (TBodySteps::Remove(found)) {
                step.push_back(std::move(c));
                selected_.reset();
            }
            if (!step.empty()) {
                steps_->Push(std::move(step));
            }
        }
    }
    if (selected && in.duplicate && !dragging_) {
        SceneFormat::Body entry;
        if ((*steps_).Capture(found, entry)) {
            duplicate(entry, in.pointer);
        }
    }
    if (in.paste && copied_ && !dragging_) {
        duplicate(*copied_, in.pointer);
    }
}

void TSelection::draw() const {
    if (const std::shared_ptr<TMachineJoint> joint = SelectedJoint()) {
        // Rings round both anchors, and a broad band along a spring or a rope.
        const CPVect a = joint->WorldAnchorA(), b = joint->WorldAnchorB();
        SetColor(90, 230, 255);
        const JointKind kind = joint->_params.kind;
        if (kind == JointKind::Spring || kind == JointKind::Rope) {
            SetAlpha(0.45f);
            SetLineWidth(5.0f);
            DrawLine(a.x, a.y, b.x, b.y);
            SetLineWidth(1.0f);
            SetAlpha(1.0f);
            drawCircle(b.x, b.y, 7.0);
        }
        drawCircle(a.x, a.y, kind == JointKind::Motor ? 14.0 : 9.0);
        drawCircle(a.x, a.y, kind == JointKind::Motor ? 15.0 : 10.0);
        SetColor(255, 255, 255);
        return;
    }
    Found found;
    if (!Selected(found)) {
        return;
    }
    SetColor(90, 230, 255);
    // A ring round the body itself, a small one round each of its other parts.
    const double reach = found.kind == SceneFormat::Kind::Drawn
                             ? static_cast<const TDrawn*>(found.owner)->DrawReach() + 4.0
                             : 22.0;
    TBodySteps::ForEachPart(found, [&](CPBody& b) {
        const CPVect p = b.GetPosition();
        drawCircle(p.x, p.y, &b == found.key.get() ? reach : 10.0);
    });
    SetColor(255, 255, 255);
}

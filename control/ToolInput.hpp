#pragma once

#include "physics/CPVect.hpp"

// What edit mode's tools read of one frame's input, read once by TEditor (hit counts reset as
// they are read) and handed to each tool. Points are world pixels (TLayer::WorldAt).
struct ToolInput {
    CPVect pointer = ZeroVect;      // the pointer now
    CPVect pressPoint = ZeroVect;   // where the left button went down (when pressed)
    CPVect releasePoint = ZeroVect; // where it came up (when released)
    bool pressed = false;           // the left button went down this frame (not on the palette)
    bool held = false;              // it is down now
    bool released = false;          // it came up this frame
    bool shift = false;
    bool advances = true; // the physics runs this frame
    int turns = 0;        // notches to turn the selection, clockwise > 0
    int deletes = 0;
    bool duplicate = false; // Ctrl+D
    bool copy = false;      // Ctrl+C
    bool paste = false;     // Ctrl+V
    bool enter = false;
    bool material = false; // M: the next material
    bool fix = false;      // X: fixed / free
    // The joint settings' keys of the frame, each a count of hits: Z the motor's speed, A its
    // direction, I its switch, Y a spring's stiffness, Shift+Y its damping, End the breaking
    // force.
    struct JointKeys {
        int speed = 0, reverse = 0, power = 0, stiffness = 0, damping = 0, breaking = 0;
        bool Any() const {
            return speed != 0 || reverse != 0 || power != 0 || stiffness != 0 || damping != 0 ||
                   breaking != 0;
        }
    };
    JointKeys jointKeys;
};

#pragma once

// What one frame's pass over the bodies does. Without physics in a frame the living are drawn
// but not advanced; the dead may wait for the next physics frame; fast forward's extra physics
// frames update without drawing.
struct BodyPass {
    // False while the physics is paused: the living are drawn without being updated (no damping,
    // no off-level test, no breaking), so that a paused scene resumes exactly as it stopped.
    bool advance = true;
    // False on a frame that slow motion leaves without physics: dead instances then wait
    // (undrawn) for the next physics frame's pass, so that they leave the space after the same
    // steps as at full speed.
    bool removeDead = true;
    // False in the extra physics frames fast forward runs before the drawn one: update only
    // (the dead are removed whatever removeDead says).
    bool draw = true;
};

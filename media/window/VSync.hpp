#pragma once

// Presents paced by the display: waiting for the retrace, and finding out whether the display
// keeps the program's rate by itself (full screen), when the frame's own pacing is not needed.

void SetVSync(int on); // 1: presents wait for the retrace; 0: not. No-op when closed
// Turns vsync on and presents for up to a second: true when three presents in a row took
// msPerFrame (within 1 ms), i.e. the display paces at that rate; otherwise vsync goes off again.
bool PresentsKeepRate(int msPerFrame);

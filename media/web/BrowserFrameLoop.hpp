#pragma once

// The program's loop in a web page. Prepare before the window opens; Run after set-up.
class BrowserFrameLoop {
  public:
    // Points SDL at the page's canvas and installs the browser clock. Before OpenGraphics.
    static void Prepare();
    // Hands `frame` (one complete frame, ending with Flip(-1)) to the browser's display
    // callback, paced to the rate given to OpenGraphics, and returns to the browser for good.
    // The program ends (EndProgram) after a frame in which a window close was requested;
    // Escape ends it from inside the frame as on the desktop. frame: non-owning, lives forever.
    [[noreturn]] static void Run(void (*frame)());
};

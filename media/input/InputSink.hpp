#pragma once

// What hears every input event the input layer handles: a recording file (InputRecorder) and the
// ring of the last minute (InputRing). Codes as the recording format writes them.
class InputSink {
  public:
    virtual ~InputSink() = default;
    virtual void Key(int vk, bool down) = 0;        // Windows virtual-key code
    virtual void Mouse(int x, int y) = 0;           // logical pixels
    virtual void Wheel(int notches) = 0;            // away from the user > 0
    virtual void Button(int button, bool down) = 0; // 1 left, 2 right, 3 middle
    virtual void Focus(bool gained) = 0;
    // A finger (id) lands (action 1), moves (2) or lifts (0) at (x, y) in logical pixels.
    virtual void Finger(int id, int action, int x, int y) = 0;
    virtual void Close() = 0;
    // The window input is laid out for changed (and at a recording's first frame): width x
    // height output pixels, pixelsPerPoint of them to a window point (1 but on dense screens).
    // Panels drawn in window points (edit mode's palette) take clicks where they showed in it.
    virtual void Window(int width, int height, float pixelsPerPoint) = 0;
};

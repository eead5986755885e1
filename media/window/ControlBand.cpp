#include "media/window/ControlBand.hpp"

#include "media/window/Device.hpp"

#include <cmath>

namespace {

int bandItems = 0; // the band's squares
int bandPitch = 0; // their pitch in window points
// SetReplayedWindow's; 0 x 0: none.
int replayedW = 0, replayedH = 0;
float replayedPixelsPerPoint = 1.0f;

} // namespace

void SetControlBand(int items, int pitchPoints) {
    bandItems = items > 0 && pitchPoints > 0 ? items : 0;
    bandPitch = bandItems > 0 ? pitchPoints : 0;
}

int ControlBandItems() {
    return bandItems;
}

int ControlBandPitch() {
    return static_cast<int>(
        std::lround(static_cast<float>(bandPitch) * TheDevice().PixelsPerPoint()));
}

PictureLayout CurrentPictureLayout() {
    const Device& device = TheDevice();
    int outW = 0, outH = 0;
    device.OutputSize(outW, outH);
    return PictureLayout::Fit(outW, outH, device.width, device.height, bandItems,
                              ControlBandPitch());
}

void SetReplayedWindow(int outW, int outH, float pixelsPerPoint) {
    const bool set = outW > 0 && outH > 0;
    replayedW = set ? outW : 0;
    replayedH = set ? outH : 0;
    replayedPixelsPerPoint = set && pixelsPerPoint >= 1.0f ? pixelsPerPoint : 1.0f;
}

void InputWindow(int& outW, int& outH, float& pixelsPerPoint) {
    if (replayedW > 0) {
        outW = replayedW;
        outH = replayedH;
        pixelsPerPoint = replayedPixelsPerPoint;
        return;
    }
    TheDevice().OutputSize(outW, outH);
    pixelsPerPoint = TheDevice().PixelsPerPoint();
}

PictureLayout InputPictureLayout() {
    if (replayedW <= 0) {
        return CurrentPictureLayout();
    }
    const int pitch =
        static_cast<int>(std::lround(static_cast<float>(bandPitch) * replayedPixelsPerPoint));
    return PictureLayout::Fit(replayedW, replayedH, TheDevice().width, TheDevice().height,
                              bandItems, pitch);
}

bool MapsPointerItself() {
    return TheDevice().window && bandItems > 0;
}

void WindowPointToLogical(int& x, int& y) {
    const float ppp = TheDevice().PixelsPerPoint();
    const int outX = static_cast<int>(std::floor(static_cast<float>(x) * ppp));
    const int outY = static_cast<int>(std::floor(static_cast<float>(y) * ppp));
    CurrentPictureLayout().ToLogical(outX, outY, x, y);
}

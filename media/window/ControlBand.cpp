#include "media/window/ControlBand.hpp"

#include "media/window/Device.hpp"

#include <cmath>

namespace {

int bandItems = 0; // the band's squares
int bandPitch = 0; // their pitch in window points

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

bool MapsPointerItself() {
    return TheDevice().window && bandItems > 0;
}

void WindowPointToLogical(int& x, int& y) {
    const float ppp = TheDevice().PixelsPerPoint();
    const int outX = static_cast<int>(std::floor(static_cast<float>(x) * ppp));
    const int outY = static_cast<int>(std::floor(static_cast<float>(y) * ppp));
    CurrentPictureLayout().ToLogical(outX, outY, x, y);
}

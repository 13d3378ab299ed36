#pragma once

#include <cmath>

namespace zintor {

// The settings file keeps window positions in twips, 15 to the pixel of a 96-DPI screen; the
// program itself works in pixels.
constexpr int kTwipsPerPixel = 15;

// Pixels for a twips value. Values that are not numbers, or absurdly large, give 0 or the
// nearest sane value instead of overflowing the conversion to int.
inline int twipsToPixels(double twips) {
    if (!std::isfinite(twips)) {
        return 0;
    }
    constexpr double kLimit = 1.0e6;  // pixels; far beyond any screen
    const double pixels = twips / kTwipsPerPixel;
    if (pixels > kLimit) {
        return static_cast<int>(kLimit);
    }
    if (pixels < -kLimit) {
        return static_cast<int>(-kLimit);
    }
    return static_cast<int>(std::lround(pixels));
}

inline float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

}  // namespace zintor

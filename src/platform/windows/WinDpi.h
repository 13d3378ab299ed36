#pragma once

#include <windows.h>

namespace zintor {

// The program's window positions are pixels of a 96-DPI screen (the settings file keeps them in
// twips, 15 to such a pixel, the values it has always held). On a screen of another DPI the
// windows here scale them to and from that screen's pixels, as the twips were scaled before:
// a stored position puts a window where it always did, whatever the DPI.
constexpr int kProgramDpi = 96;

// The DPI of the screen `window` is on, along LOGPIXELSX or LOGPIXELSY (96 when unknown).
inline int screenDpi(HWND window, int axis) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, axis);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : kProgramDpi;
}

// The screen's pixels for the program's, and back.
inline int toScreenPixels(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kProgramDpi);
}
inline int toProgramPixels(int pixels, int dpi) {
    return MulDiv(pixels, kProgramDpi, dpi);
}

}  // namespace zintor

#pragma once

#include <windows.h>

namespace zintor {

// What the program's small pop-up windows (the key help, the key-map notice) have in common.
constexpr DWORD kNoFocusTopmost = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

void registerPopupClass(const wchar_t* name, WNDPROC proc, int background);

// The window's outer size for a client area of w x h.
SIZE popupOuterSize(DWORD style, DWORD exStyle, int w, int h);

}  // namespace zintor

#pragma once

#include <windows.h>

namespace zintor {

// The object a window procedure belongs to: passed as the creation parameter of
// CreateWindowExW, kept in the window's user data from WM_NCCREATE on. Null before that, and
// after the owner has cleared the user data.
template <typename T>
T* windowSelf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace zintor

#include "platform/windows/WinPopupStyle.h"

namespace zintor {

void registerPopupClass(const wchar_t* name, WNDPROC proc, int background) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

SIZE popupOuterSize(DWORD style, DWORD exStyle, int w, int h) {
    RECT rect{0, 0, w, h};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace zintor

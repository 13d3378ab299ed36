#include "platform/windows/WinTrayIcon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "platform/windows/WideText.h"

namespace zintor {
namespace {

template <std::size_t N>
void copyCut(wchar_t (&field)[N], const std::string& text) {
    const std::wstring wide = utf8ToWide(text);
    const std::size_t n = std::min(wide.size(), N - 1);
    std::wmemcpy(field, wide.data(), n);
    field[n] = L'\0';
}

}  // namespace

WinTrayIcon::WinTrayIcon(HWND window, UINT callbackMessage) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < 3; ++i) {
        frames_[i] = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(101 + i), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    }
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = 1;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = frames_[0];
}

WinTrayIcon::~WinTrayIcon() {
    remove();
    for (HICON frame : frames_) {
        if (frame != nullptr) {
            DestroyIcon(frame);
        }
    }
}

bool WinTrayIcon::call(DWORD message, UINT extraFlags) {
    NOTIFYICONDATAW data = data_;
    data.uFlags |= extraFlags;
    return Shell_NotifyIconW(message, &data) != 0;
}

void WinTrayIcon::add(const std::string& tip) {
    copyCut(data_.szTip, tip);
    data_.hIcon = frames_[0];
    shown_ = call(NIM_ADD);
}

void WinTrayIcon::setTip(const std::string& tip) {
    copyCut(data_.szTip, tip);
    if (shown_) {
        call(NIM_MODIFY);
    }
}

void WinTrayIcon::showFrame(int frame) {
    if (frame >= 101 && frame <= 103) {
        data_.hIcon = frames_[frame - 101];
    }
    if (shown_) {
        call(NIM_MODIFY);
    }
}

void WinTrayIcon::remove() {
    if (shown_) {
        call(NIM_DELETE);
        shown_ = false;
    }
}

bool WinTrayIcon::balloon(const std::string& title, const std::string& text) {
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = data_;
    data.uFlags |= NIF_INFO;
    copyCut(data.szInfoTitle, title);
    copyCut(data.szInfo, text);
    data.dwInfoFlags = NIIF_INFO;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != 0;
}

void WinTrayIcon::restore() {
    if (shown_) {
        shown_ = call(NIM_ADD);
    }
}

}  // namespace zintor

#include "platform/windows/WinPortRegistry.h"

#include <dbt.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "platform/windows/WideText.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

std::wstring stringValue(HKEY key, const wchar_t* name) {
    wchar_t text[256] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return text;  // up to the first NUL
}

// The COM number of a port's text: the digits after its first three characters ("COM12" gives
// 12, blanks before them skipped); 0 when there are none.
int comNumber(std::string_view text) {
    if (text.size() <= 3) {
        return 0;
    }
    std::string_view digits = text.substr(3);
    while (!digits.empty() && digits.front() == ' ') {
        digits.remove_prefix(1);
    }
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), int{std::numeric_limits<std::int16_t>::max()});
    }
    return value;
}

// The serial drivers name Bluetooth links "\Device\BtPort<n>".
PortKind kindOf(std::string_view device) {
    return device.find("BtPort") != std::string_view::npos ? PortKind::kBluetooth
                                                           : PortKind::kCable;
}

}  // namespace

WinPortRegistry::WinPortRegistry(WinEventLoop& loop) : loop_(loop) {}

WinPortRegistry::~WinPortRegistry() {
    stopWatching();
}

std::vector<RegisteredPort> WinPortRegistry::listPorts() {
    std::vector<RegisteredPort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD length = 255;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        std::string device = wideToUtf8(name);
        const int number = comNumber(wideToUtf8(stringValue(key, name)));
        const PortKind kind = kindOf(device);
        ports.push_back({number, kind, std::move(device)});
    }
    RegCloseKey(key);
    return ports;
}

void WinPortRegistry::setChangeListener(std::function<void()> changed) {
    stopWatching();
    changed_ = std::move(changed);
    if (!changed_) {
        return;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when registered already
    window_ = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, this);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_NOTIFY, &watchedKey_) != ERROR_SUCCESS) {
        watchedKey_ = nullptr;
        return;  // no key yet (no serial port ever): device arrivals only
    }
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    handle_ = loop_.addHandle(event_, [this] {
        ResetEvent(event_);
        armNotification();  // before the report, so a change made meanwhile is not missed
        report();
    });
    armNotification();
}

void WinPortRegistry::report() {
    if (changed_) {
        loop_.post([this] {
            if (changed_) {
                changed_();
            }
        });
    }
}

LRESULT CALLBACK WinPortRegistry::windowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = windowSelf<WinPortRegistry>(window, message, lParam);
    if (self != nullptr && message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam != 0 &&
        reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype == DBT_DEVTYP_PORT) {
        self->report();
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool WinPortRegistry::armNotification() {
    return RegNotifyChangeKeyValue(watchedKey_, FALSE, REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE) ==
           ERROR_SUCCESS;
}

void WinPortRegistry::stopWatching() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (handle_ != 0) {
        loop_.removeHandle(handle_);
        handle_ = 0;
    }
    if (watchedKey_ != nullptr) {
        RegCloseKey(watchedKey_);
        watchedKey_ = nullptr;
    }
    if (event_ != nullptr) {
        CloseHandle(event_);
        event_ = nullptr;
    }
}

}  // namespace zintor

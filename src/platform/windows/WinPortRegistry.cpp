#include "WinPortRegistry.h"

#include "WideText.h"

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
        ports.push_back({wideToUtf8(name), wideToUtf8(stringValue(key, name))});
    }
    RegCloseKey(key);
    return ports;
}

void WinPortRegistry::setChangeListener(std::function<void()> changed) {
    stopWatching();
    changed_ = std::move(changed);
    if (!changed_ ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_NOTIFY, &watchedKey_) != ERROR_SUCCESS) {
        watchedKey_ = nullptr;
        return;  // no key yet (no serial port ever): nothing to watch
    }
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    handle_ = loop_.addHandle(event_, [this] {
        ResetEvent(event_);
        armNotification();  // before the report, so a change made meanwhile is not missed
        if (changed_) {
            loop_.post([this] {
                if (changed_) {
                    changed_();
                }
            });
        }
    });
    armNotification();
}

bool WinPortRegistry::armNotification() {
    return RegNotifyChangeKeyValue(watchedKey_, FALSE, REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE) ==
           ERROR_SUCCESS;
}

void WinPortRegistry::stopWatching() {
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

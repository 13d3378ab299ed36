#include "platform/windows/RunKeyEntry.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace zintor {
namespace {

std::string failure(const char* what, LSTATUS status) {
    wchar_t text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(status), 0, text, 255, nullptr);
    return std::string("Zintor could not ") + what + " the value Zintor of HKEY_CURRENT_USER\\" +
           wideToUtf8(RunKeyEntry::kRunKey) + ": " + wideToUtf8(text);
}

}  // namespace

bool RunKeyEntry::present() const {
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValue,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr,
                     nullptr) != ERROR_SUCCESS) {
        return false;
    }
    BYTE approved[12] = {};
    DWORD bytes = sizeof approved;
    // The first byte's lowest bit set: switched off (3 against 2 for on).
    return RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kValue, RRF_RT_REG_BINARY, nullptr,
                        approved, &bytes) != ERROR_SUCCESS ||
           bytes == 0 || (approved[0] & 1) == 0;
}

std::optional<std::string> RunKeyEntry::set(bool on) const {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        return failure(on ? "write" : "remove", status);
    }
    if (on) {
        const std::wstring text = command();
        status = RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kValue);  // on again, if it was off
    } else {
        status = RegDeleteValueW(key, kValue);
        status = status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return failure(on ? "write" : "remove", status);
    }
    return std::nullopt;
}

std::wstring RunKeyEntry::command() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return L"\"" + path + L"\"";
}

}  // namespace zintor

#include "platform/windows/RegistrySettingsStore.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace zintor {

RegistrySettingsStore::RegistrySettingsStore(Diagnostic diagnostic)
    : diagnostic_(std::move(diagnostic)) {}

std::string RegistrySettingsStore::read(const std::string& name, const std::string& defaultValue) {
    const std::wstring valueName = utf8ToWide(name);
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS) {
        return defaultValue;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS) {
        return defaultValue;  // changed between the two calls and grown: rare, read it next time
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return wideToUtf8(value);
}

void RegistrySettingsStore::write(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        noteWrite(false);
        return;
    }
    const std::wstring wide = utf8ToWide(value);
    const auto bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    noteWrite(RegSetValueExW(key, utf8ToWide(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(wide.c_str()), bytes) == ERROR_SUCCESS);
    RegCloseKey(key);
}

void RegistrySettingsStore::noteWrite(bool written) {
    if (!written && !failed_ && diagnostic_) {
        diagnostic_("Zintor could not save its settings to HKEY_CURRENT_USER\\" + wideToUtf8(kKey) +
                    " (the key is not writable)");
    }
    failed_ = !written;
}

void RegistrySettingsStore::flush() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegFlushKey(key);
        RegCloseKey(key);
    }
}

}  // namespace zintor

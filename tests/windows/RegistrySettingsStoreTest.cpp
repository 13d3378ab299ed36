// The registry settings store under wine: the program's key, string values, UTF-8 text.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/windows/RegistrySettingsStore.h"

namespace zintor {
namespace {

std::wstring RawValue(const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof buffer;
    DWORD type = 0;
    const LONG status = RegGetValueW(HKEY_CURRENT_USER, RegistrySettingsStore::kKey, name,
                                     RRF_RT_ANY, &type, buffer, &bytes);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return L"<not a string value>";
    }
    return buffer;
}

TEST(RegistrySettingsStoreTest, StringValuesInTheProgramsKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Zintor4");
    RegistrySettingsStore store;
    EXPECT_EQ(store.read("Com", "5"), "5");

    store.write("Com", "7");
    store.write("AppName 3", "Café ü €");
    store.write("AppPath9", "");
    store.flush();
    EXPECT_FALSE(store.failed());
    EXPECT_EQ(RawValue(L"Com"), L"7");
    EXPECT_EQ(RawValue(L"AppName 3"), L"Caf\u00e9 \u00fc \u20ac");

    RegistrySettingsStore again;
    EXPECT_EQ(again.read("Com", "5"), "7");
    EXPECT_EQ(again.read("AppName 3", "x"), "Café ü €");
    EXPECT_EQ(again.read("AppPath9", "x"), "");  // empty is a value, not a missing one
    EXPECT_EQ(again.read("AppName 4", "none"), "none");
}

TEST(RegistrySettingsStoreTest, ValueOfAnotherTypeReadsAsTheDefault) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, RegistrySettingsStore::kKey, 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 9;
    RegSetValueExW(key, L"Speed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);
    RegistrySettingsStore store;
    EXPECT_EQ(store.read("Speed", "5"), "5");
    store.write("Speed", "3");  // and writing puts a string in its place
    EXPECT_EQ(RawValue(L"Speed"), L"3");
}

}  // namespace
}  // namespace zintor

// The registry settings store under wine: the program's key, string values, UTF-8 text (that
// they are REG_SZ values is seen by the end-to-end test).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/windows/RegistrySettingsStore.h"

namespace zintor {
namespace {

TEST(RegistrySettingsStoreTest, StringValuesInTheProgramsKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Zintor4");
    RegistrySettingsStore store;
    EXPECT_EQ(store.read("Com", "5"), "5");

    store.write("Com", "7");
    store.write("AppName 3", "Café ü €");
    store.write("AppPath9", "");
    store.flush();
    EXPECT_FALSE(store.failed());

    RegistrySettingsStore again;
    EXPECT_EQ(again.read("Com", "5"), "7");
    EXPECT_EQ(again.read("AppName 3", "x"), "Café ü €");
    EXPECT_EQ(again.read("AppPath9", "x"), "");  // empty is a value, not a missing one
    EXPECT_EQ(again.read("AppName 4", "none"), "none");
}

}  // namespace
}  // namespace zintor

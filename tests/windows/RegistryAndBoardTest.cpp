// Under wine: the settings store and the serial-port list in the registry, and the K8055 board
// through K8055D.dll (a stand-in that records its calls).
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "platform/windows/K8055DllBoard.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/WinFiles.h"
#include "platform/windows/WinPortRegistry.h"

namespace zintor {
namespace {

// That the values are REG_SZ is seen by the end-to-end test.
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

void setPort(HKEY key, const wchar_t* name, const wchar_t* port) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                   static_cast<DWORD>((wcslen(port) + 1) * sizeof(wchar_t)));
}

TEST(WinPortRegistryTest, ListsTheSerialCommValuesAndTellsOfChanges) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WinPortRegistry::kKey, 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    setPort(key, L"\\Device\\Serial5", L"COM6");
    const DWORD number = 3;
    RegSetValueExW(key, L"\\Device\\Odd", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);

    WinEventLoop loop;
    WinPortRegistry registry(loop);
    int changes = 0;
    registry.setChangeListener([&] { ++changes; });
    setPort(key, L"\\Device\\BtPort7", L"COM12");
    const auto guard = loop.startTimer(5000, [] {});
    loop.waitFor([&] { return changes > 0; });
    loop.stopTimer(guard);

    std::map<std::string, std::string> ports;
    for (const RegisteredPort& port : registry.listPorts()) {
        ports[port.name] = port.portText;
    }
    EXPECT_EQ(ports.at("\\Device\\Serial5"), "COM6");
    EXPECT_EQ(ports.at("\\Device\\BtPort7"), "COM12");
    EXPECT_EQ(ports.at("\\Device\\Odd"), "");  // not a string
    for (const wchar_t* name : {L"\\Device\\Serial5", L"\\Device\\BtPort7", L"\\Device\\Odd"}) {
        RegDeleteValueW(key, name);
    }
    RegCloseKey(key);
}

TEST(K8055DllBoardTest, CallsTheSystemFoldersLibrary) {
    const std::wstring installed = K8055DllBoard::libraryPath();
    DeleteFileW(installed.c_str());
    {
        K8055DllBoard board;
        EXPECT_FALSE(board.installed());
        EXPECT_EQ(board.open(0), -1);
        board.writeAllDigital(1);  // nothing to call, nothing breaks
    }
    const std::string standIn = WinFiles::executableFolder() + "\\K8055D.dll";  // built beside us
    ASSERT_TRUE(
        CopyFileW(std::wstring(standIn.begin(), standIn.end()).c_str(), installed.c_str(), FALSE));
    {
        K8055DllBoard board;
        EXPECT_TRUE(board.installed());
        EXPECT_EQ(board.open(0), 0);
        board.writeAllDigital(0x15);
        board.close();
        using Calls = const char* (*)();
        const auto calls = reinterpret_cast<Calls>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"K8055D.dll"), "StandInCalls")));
        ASSERT_NE(calls, nullptr);
        EXPECT_STREQ(calls(), "OpenDevice(0) WriteAllDigital(21) CloseDevice() ");
    }
    DeleteFileW(installed.c_str());
}

}  // namespace
}  // namespace zintor

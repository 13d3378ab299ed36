// The settings file in a temporary configuration folder, read and written through QSettings, and
// loaded by the real link.
#include "qt/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "QtTestSupport.h"
#include "app/ProgramState.h"
#include "link/Link.h"
#include "sim/SimWorld.h"

namespace zintor {
namespace {

using test::ScopedEnv;
using test::TempFolder;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class NoProcedures : public Procedures {
  public:
    void ErrorMessage(const std::string&, int, int) override {}
    void HandleInputText(const std::string&) override {}
    void ShowMainMenu(const std::string&) override {}
    void SelectMainMenu(const std::string&) override {}
    void HandleMenuSelection(const std::string&) override {}
    void ResetPhoneUI() override {}
    void ApplicationMenuSelected(const std::string&) override {}
    void MoveMouseSelected() override {}
    void USBMenuSelected(const std::string&) override {}
    void USBMenuChoice(const std::string&) override {}
    void AboutMenuSelected(bool) override {}
    void WinAMP_Menu_Selected(const std::string&) override {}
    void WinAMP_Status_Menu_Selected(const std::string&) override {}
    void WinAMP_Execute(int) override {}
    void KeyControlKeyEvent(const std::string&) override {}
    void WinampStatusKeyEvent(const std::string&) override {}
    void TypeText(const std::string&) override {}
    void CloseKeyHelp() override {}
    void TrayIconAnimate() override {}
};

TEST(QtSettingsStore, LivesInTheUsersConfigurationFolderAndKeepsValuesAcrossRuns) {
    TempFolder home;
    ScopedEnv config("XDG_CONFIG_HOME", home.path());
    const std::string file = home / "Zintor/Zintor4.ini";
    EXPECT_EQ(QtSettingsStore::defaultPath(), file);

    const std::string tricky = "C:\\Program Files\\a, b; \"c\" @x =y caf\xc3\xa9";
    {
        QtSettingsStore store;
        EXPECT_EQ(store.read("Com", "1"), "1");  // missing: the default
        store.write("Com", "5");
        store.write("AppName 3", "Editor");
        store.write("AppPath 3", tricky);
        store.write("AppPath9", "");
        store.flush();  // creates the folder and the file
        EXPECT_FALSE(store.failed());
    }
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("[Settings]"), std::string::npos);
    EXPECT_NE(text.find("AppName%203=Editor"), std::string::npos);  // QSettings' form of a blank

    QtSettingsStore again;
    EXPECT_EQ(again.read("Com", "1"), "5");
    EXPECT_EQ(again.read("AppName 3", "?"), "Editor");
    EXPECT_EQ(again.read("AppPath 3", "?"), tricky);
    EXPECT_EQ(again.read("AppPath9", "?"), "");  // stored empty is not missing
    EXPECT_EQ(again.read("AppName3", "none"), "none");
}

TEST(QtSettingsStore, ReadsAHandWrittenFile) {
    TempFolder home;
    const std::string file = home / "Zintor4.ini";
    WriteFile(file,
              "[Settings]\r\n"
              "AppName 2=Typed by hand\r\n"
              "AppName0=no blank, not slot 0\r\n"
              "AppPath 1=/usr/bin/a,b\r\n"
              "[Other]\r\nCom=9\r\n");
    QtSettingsStore store(file);
    EXPECT_EQ(store.read("AppName 2", ""), "Typed by hand");
    EXPECT_EQ(store.read("AppName 0", "default"), "default");
    EXPECT_EQ(store.read("AppPath 1", ""), "/usr/bin/a,b");  // unquoted commas kept as text
    EXPECT_EQ(store.read("Com", "1"), "1");                  // other sections are not ours
}

TEST(QtSettingsStore, NonsenseFallsBackToDefaultsAndIsReported) {
    TempFolder home;
    const std::string file = home / "Zintor4.ini";
    const char junk[] =
        "[Settings]\nCom=five\nSpeed=12\nAuto=\nLastKeyMap=99999999\nMainTop=1.5e3\n"
        "AppName 1=ok\n\x01\x02\xff\xfe\0garbage=[[\n=\n[\nAppName 2=lost\n";
    WriteFile(file, std::string(junk, sizeof junk - 1));
    QtSettingsStore store(file);

    SimWorld world;
    Ports ports{world.loop,  world.serial(), world.registry, store,
                world.files, world.logSink,  world.desktop,  world.launcher,
                world.input, world.mixer,    world.player,   world.board};
    ProgramState state;
    NoProcedures none;
    Link link(state, ports, none);
    link.LoadSettings();
    EXPECT_EQ(state.ComPort, 1);  // "five": the default
    EXPECT_EQ(state.MouseSpeed, 12);
    EXPECT_EQ(state.AutoConnect, 1);  // empty: the default
    EXPECT_EQ(state.LastKeyMap, 0);   // out of range: the default
    EXPECT_EQ(state.MainTop, 1500.0f);
    EXPECT_EQ(state.AppName[1], "ok");
    // Each fallback is reported where a developer sees it.
    const auto& said = world.logSink.diagnostics();
    ASSERT_EQ(said.size(), 3u);
    EXPECT_NE(said[0].find("Com"), std::string::npos);

    // Saving over the nonsense leaves a file that reads back cleanly.
    state.ComPort = 7;
    link.SaveSettings();
    QtSettingsStore again(file);
    EXPECT_EQ(again.read("Com", ""), "7");
    EXPECT_EQ(again.read("Speed", ""), "12");
    EXPECT_EQ(again.read("Auto", ""), "1");
}

}  // namespace
}  // namespace zintor

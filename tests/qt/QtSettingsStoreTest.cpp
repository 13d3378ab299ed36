// The settings file in a temporary configuration folder, read and written through QSettings, and
// loaded by the program.
#include "qt/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>

#include "QtTestSupport.h"
#include "app/Program.h"
#include "link/Link.h"
#include "sim/SimWorld.h"

namespace zintor {
namespace {

TEST(QtSettingsStore, LivesInTheUsersConfigurationFolderAndKeepsValuesAcrossRuns) {
    test::TempFolder home;
    test::ScopedEnv config("XDG_CONFIG_HOME", home.path());
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
    QFile written(QString::fromStdString(file));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    EXPECT_TRUE(text.contains("[Settings]"));
    EXPECT_TRUE(text.contains("AppName%203=Editor"));  // QSettings' form of a blank

    QtSettingsStore again;
    EXPECT_EQ(again.read("Com", "1"), "5");
    EXPECT_EQ(again.read("AppName 3", "?"), "Editor");
    EXPECT_EQ(again.read("AppPath 3", "?"), tricky);
    EXPECT_EQ(again.read("AppPath9", "?"), "");  // stored empty is not missing
}

// A number that does not read as one falls back to its default, and the fallback is reported
// on the diagnostic channel (and in the log when it is on).
TEST(QtSettingsStore, AHandWrittenFileWithNonsenseFallsBackToDefaultsAndIsReported) {
    test::TempFolder home;
    const std::string file = home / "Zintor4.ini";
    const char junk[] =
        "[Other]\nCom=9\n"
        "[Settings]\nCom=five\nSpeed=12\nAuto=\nLastKeyMap=99999999\nMainTop=1.5e3\n"
        "AppName 1=typed by hand\nAppPath 1=/usr/bin/a,b\n\x01\x02\xff\xfe\0garbage=[[\n=\n[\n";
    QFile written(QString::fromStdString(file));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(junk, sizeof junk - 1);
    written.close();

    QtSettingsStore store(file);
    SimWorld world;
    Ports p = world.ports();
    Program program(Ports{p.loop, p.serial, p.registry, store, p.files, p.logSink, p.desktop,
                          p.launcher, p.input, p.mixer, p.player, p.board});
    const ProgramState& state = program.state();
    program.link().loadSettings();
    EXPECT_EQ(state.comPort, 1);  // "five": the default; other sections are not ours
    EXPECT_EQ(state.mouseSpeed, 12);
    EXPECT_EQ(state.autoConnect, 1);  // empty: the default
    EXPECT_EQ(state.lastKeyMap, 0);   // out of range: the default
    EXPECT_EQ(state.mainTop, 1500.0f);
    EXPECT_EQ(state.appName[1], "typed by hand");
    EXPECT_EQ(state.appPath[1], "/usr/bin/a,b");  // unquoted commas kept as text
    const auto& said = world.logSink.diagnostics();
    ASSERT_EQ(said.size(), 3u);
    EXPECT_NE(said[0].find("Com"), std::string::npos);

    // Saving over the nonsense leaves a file that reads back cleanly.
    program.state().comPort = 7;
    program.link().saveSettings();
    QtSettingsStore again(file);
    EXPECT_EQ(again.read("Com", ""), "7");
    EXPECT_EQ(again.read("Auto", ""), "1");
    EXPECT_EQ(again.read("AppPath 1", ""), "/usr/bin/a,b");
}

}  // namespace
}  // namespace zintor

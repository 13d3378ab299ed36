// The settings file in a temporary configuration folder, written and read through QSettings.
#include "qt/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>

#include "QtTestSupport.h"

namespace zintor {
namespace {

TEST(QtSettingsStore, KeepsValuesAcrossRunsInTheUsersFolderAndReadsAHandWrittenFileWithNonsense) {
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
    written.close();
    QtSettingsStore again;
    EXPECT_EQ(again.read("Com", "1"), "5");
    EXPECT_EQ(again.read("AppName 3", "?"), "Editor");
    EXPECT_EQ(again.read("AppPath 3", "?"), tricky);
    EXPECT_EQ(again.read("AppPath9", "?"), "");  // stored empty is not missing

    // Edited by hand: values come as written (the program judges them), other sections are not
    // ours, bytes that are no settings are skipped, and saving over it leaves a clean file.
    const char junk[] =
        "[Other]\nCom=9\n[Settings]\nCom=five\nAuto=\nAppPath 1=/usr/bin/a,b\n"
        "\x01\x02\xff\xfe\0garbage=[[\n=\n[\n";
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(junk, sizeof junk - 1);
    written.close();
    QtSettingsStore edited(file);
    EXPECT_EQ(edited.read("Com", "1"), "five");
    EXPECT_EQ(edited.read("Auto", "1"), "");
    EXPECT_EQ(edited.read("AppPath 1", ""), "/usr/bin/a,b");  // unquoted commas kept as text
    EXPECT_EQ(edited.read("AppName 3", "?"), "?");
    edited.write("Com", "7");
    edited.flush();
    QtSettingsStore reread(file);
    EXPECT_EQ(reread.read("Com", ""), "7");
    EXPECT_EQ(reread.read("AppPath 1", ""), "/usr/bin/a,b");
}

}  // namespace
}  // namespace zintor

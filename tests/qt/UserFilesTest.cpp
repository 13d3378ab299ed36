// The files and the settings file in the user's folders, temporary ones here.
#include "platform/qt/PosixFiles.h"
#include "platform/qt/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "QtTestSupport.h"

namespace zintor {
namespace {

using test::ScopedEnv;
using test::TempFolder;

TEST(PosixFiles, KnownFoldersFollowTheUsersBaseDirectoriesNamesIgnoreCaseLinesEndInCrLf) {
    TempFolder home;
    ScopedEnv config("XDG_CONFIG_HOME", home / "config");
    ScopedEnv state("XDG_STATE_HOME", home / "state");
    PosixFiles files;
    EXPECT_EQ(files.folder(KnownFolder::kConfig), home / "config/Zintor");
    EXPECT_TRUE(files.folderExists(files.folder(KnownFolder::kProgram)));
    // The log folder is the program's to create (one level); the folders above it exist.
    const std::string log = files.folder(KnownFolder::kLog);
    EXPECT_EQ(log, home / "state/Zintor/log");
    EXPECT_FALSE(files.folderExists(log));
    EXPECT_TRUE(files.createFolder(log));
    EXPECT_TRUE(files.createFolder(log));  // already there
    std::ofstream(home / "file") << "";
    EXPECT_FALSE(files.createFolder(home / "file"));  // a file is in the way

    ScopedEnv relative("XDG_STATE_HOME", "relative/state");  // not absolute: ignored
    ScopedEnv homeDir("HOME", home / "h");
    EXPECT_EQ(PosixFiles().folder(KnownFolder::kLog), home / "h/.local/state/Zintor/log");

    // Names match ignoring case in the last element only.
    std::filesystem::create_directories(home / "Lib/my.folder");
    std::ofstream(home / "Lib/k8055d.dll") << "x";
    EXPECT_TRUE(files.exists(home / "Lib/MY.FOLDER/"));   // folders count as well
    EXPECT_FALSE(files.exists(home / "lib/k8055d.dll"));  // folders before it: exact
    EXPECT_FALSE(files.exists(home / "Lib/k8055d"));
    EXPECT_TRUE(files.folderExists(home / "Lib/My.Folder"));

    std::string text;
    EXPECT_TRUE(files.readText(home / "Lib/K8055D.dll", text));
    EXPECT_EQ(text, "x");
    EXPECT_FALSE(files.readText(home / "Lib/my.folder", text));

    const std::string daily = home / "2024-05-17.txt";
    for (const char* line : {"first\tline", "", "third"}) {
        EXPECT_TRUE(files.appendLine(daily, line));
    }
    ASSERT_TRUE(files.readText(daily, text));
    EXPECT_EQ(text, "first\tline\r\n\r\nthird\r\n");
    EXPECT_FALSE(files.appendLine(home / "no/such/folder.txt", "x"));

    // Unix and DOS line ends, no line end at the end.
    std::vector<std::string> lines;
    std::ofstream(home / "list.m3u") << "#EXTM3U\n/a.mp3\r\n/b.mp3";
    ASSERT_TRUE(files.readLines(home / "list.m3u", lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"#EXTM3U", "/a.mp3", "/b.mp3"}));
}

TEST(QtSettingsStore, SavesInTheUsersFolderAndReadsAHandWrittenFileWithNonsense) {
    TempFolder home;
    ScopedEnv config("XDG_CONFIG_HOME", home.path());
    const std::string file = home / "Zintor/Zintor4.ini";  // where the store is by default

    std::vector<std::string> reports;
    {
        QtSettingsStore store([&](const std::string& report) { reports.push_back(report); });
        EXPECT_EQ(store.read("Com", "1"), "1");  // missing: the default
        store.write("Com", "5");
        store.flush();  // creates the folder and the file
    }
    EXPECT_TRUE(reports.empty());
    {  // a file that cannot be made (its folder is a file): said once, not at every try
        QtSettingsStore store(file + "/Zintor4.ini",
                              [&](const std::string& report) { reports.push_back(report); });
        for (const char* com : {"6", "7"}) {
            store.write("Com", com);
            store.flush();
        }
        EXPECT_EQ(reports,
                  std::vector<std::string>{"Zintor could not save its settings to " + file +
                                           "/Zintor4.ini (the folder or the file is not "
                                           "writable, or the disk is full)"});
    }

    // Edited by hand: values come as written (the program judges them), other sections are not
    // ours, bytes that are no settings are skipped.
    const char junk[] =
        "[Other]\nCom=9\n[Settings]\nCom=five\nAuto=\nAppPath 1=/usr/bin/a,b\n"
        "\x01\x02\xff\xfe\0garbage=[[\n=\n[\n";
    std::ofstream(file, std::ios::binary).write(junk, sizeof junk - 1);
    QtSettingsStore edited(file);
    EXPECT_EQ(edited.read("Com", "1"), "five");
    EXPECT_EQ(edited.read("Auto", "1"), "");
    EXPECT_EQ(edited.read("AppPath 1", ""), "/usr/bin/a,b");  // unquoted commas kept as text
}

}  // namespace
}  // namespace zintor

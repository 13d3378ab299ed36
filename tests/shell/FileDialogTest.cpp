// Which files the program file dialog offers, and how a chosen path is completed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/ProgramFileDialog.h"

namespace zintor {
namespace {

TEST(ProgramFileDialog, ProgramsAreExecutableFilesOtherExtensionsFilterAndAreAppended) {
    QTemporaryDir dir;
    auto make = [&](const char* name, bool executable) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                         (executable ? QFile::ExeOwner : QFile::Permissions()));
        return f.fileName();
    };
    QDir(dir.path()).mkdir("sub.d");

    // On Linux programs are the executable files, whatever their name.
    EXPECT_TRUE(programFileListed(make("runme", true), "exe"));
    EXPECT_FALSE(programFileListed(make("notes.txt", false), "exe"));
    EXPECT_FALSE(programFileListed(make("setup.exe", false), "exe"));
    EXPECT_TRUE(programFileListed(dir.filePath("sub.d"), "exe"));  // folders to walk into
    EXPECT_FALSE(programFileListed(dir.filePath("missing"), "exe"));
    EXPECT_EQ(completeChosenPath("/usr/bin/gimp", "exe"), "/usr/bin/gimp");

    EXPECT_TRUE(programFileListed(make("songs.M3U", false), "m3u"));
    EXPECT_FALSE(programFileListed(make("songs.txt", false), "m3u"));
    EXPECT_EQ(completeChosenPath("/x/list.M3U", "m3u"), "/x/list.M3U");
    EXPECT_EQ(completeChosenPath("/x/list", "m3u"), "/x/list.m3u");
    EXPECT_EQ(completeChosenPath("/x/my.m3u.files/run", "m3u"), "/x/my.m3u.files/run");
}

}  // namespace
}  // namespace zintor

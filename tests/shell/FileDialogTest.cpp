// Which files the program file dialog offers, and how a chosen path is completed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/ProgramFileDialog.h"

namespace zintor {
namespace {

QString MakeFile(const QTemporaryDir& dir, const char* name, bool executable) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) {
        perms |= QFile::ExeOwner;
    }
    f.setPermissions(perms);
    return path;
}

TEST(ProgramFileDialog, OnLinuxProgramsAreTheExecutableFilesAndKeepTheirName) {
    QTemporaryDir dir;
    const QString program = MakeFile(dir, "runme", true);
    const QString text = MakeFile(dir, "notes.txt", false);
    const QString windowsProgram = MakeFile(dir, "setup.exe", false);
    QDir(dir.path()).mkdir("sub.d");

    EXPECT_TRUE(ProgramFileListed(program, "exe"));
    EXPECT_FALSE(ProgramFileListed(text, "exe"));
    EXPECT_FALSE(ProgramFileListed(windowsProgram, "exe"));        // not executable here
    EXPECT_TRUE(ProgramFileListed(dir.filePath("sub.d"), "exe"));  // folders to walk into
    EXPECT_FALSE(ProgramFileListed(dir.filePath("missing"), "exe"));

    EXPECT_EQ(CompleteChosenPath("/usr/bin/gimp", "exe"), "/usr/bin/gimp");
}

TEST(ProgramFileDialog, OtherExtensionsFilterByNameAndAreAppendedWhenMissing) {
    QTemporaryDir dir;
    const QString list = MakeFile(dir, "songs.M3U", false);
    const QString other = MakeFile(dir, "songs.txt", false);
    EXPECT_TRUE(ProgramFileListed(list, "m3u"));
    EXPECT_FALSE(ProgramFileListed(other, "m3u"));

    EXPECT_EQ(CompleteChosenPath("/x/list.M3U", "m3u"), "/x/list.M3U");
    EXPECT_EQ(CompleteChosenPath("/x/list", "m3u"), "/x/list.m3u");
    EXPECT_EQ(CompleteChosenPath("/x/my.m3u.files/run", "m3u"), "/x/my.m3u.files/run");
}

}  // namespace
}  // namespace zintor

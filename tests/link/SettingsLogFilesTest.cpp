// The settings store values, the diagnostic log, and the path helpers.

#include <gmock/gmock.h>

#include "LinkFixture.h"
#include "link/FileHelpers.h"
#include "link/LogText.h"

namespace zintor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(LinkTest, SettingsDefaultsOnAnEmptyStore) {
    state.ComPort = 9;
    state.AppName[3] = "x";
    state.MainTop = 5;
    link.LoadSettings();
    EXPECT_EQ(state.ComPort, 1);
    EXPECT_EQ(state.MouseSpeed, 5);
    EXPECT_EQ(state.AutoConnect, 1);
    EXPECT_EQ(state.LastKeyMap, 0);
    EXPECT_EQ(state.AppName[3], "");
    EXPECT_EQ(state.MainTop, 0.0f);
    EXPECT_THAT(world.logSink.diagnostics(), IsEmpty());
}

TEST_F(LinkTest, SettingsRoundTripWithTheStoredNames) {
    state.ComPort = 4;
    state.MouseSpeed = 12;
    state.AppName[0] = "Editor";
    state.AppPath[0] = "/usr/bin/editor";
    state.AppPath[9] = "/opt/winamp/winamp.exe";
    state.LastKeyMap = 2;
    state.MainLeft = 1440;
    state.SettingTop = -12.5f;
    state.AutoConnect = 0;
    link.SaveSettings();

    const auto& writes = world.settings.writes();
    ASSERT_EQ(writes.size(), 27u);
    EXPECT_THAT(std::vector<std::string>(writes.begin(), writes.begin() + 5),
                ElementsAre("Com=4", "Speed=12", "AppName 0=Editor", "AppPath 0=/usr/bin/editor",
                            "AppName 1="));
    EXPECT_THAT(std::vector<std::string>(writes.begin() + 20, writes.end()),
                ElementsAre("AppPath9=/opt/winamp/winamp.exe", "LastKeyMap=2", "MainLeft=1440",
                            "MainTop=0", "SettingLeft=0", "SettingTop=-12.5", "Auto=0"));
    EXPECT_EQ(world.settings.flushCount(), 1);

    ProgramState loaded;
    Link other(loaded, ports, procedures);
    other.LoadSettings();
    EXPECT_EQ(loaded.ComPort, 4);
    EXPECT_EQ(loaded.MouseSpeed, 12);
    EXPECT_EQ(loaded.AppName, state.AppName);
    EXPECT_EQ(loaded.AppPath, state.AppPath);
    EXPECT_EQ(loaded.LastKeyMap, 2);
    EXPECT_EQ(loaded.MainLeft, 1440.0f);
    EXPECT_EQ(loaded.SettingTop, -12.5f);
    EXPECT_EQ(loaded.AutoConnect, 0);
}

TEST_F(LinkTest, SettingsThatAreNotWhatTheProgramWrote) {
    world.settings.set("AppName0", "no space: not slot 0");
    world.settings.set("Com", "abc");
    world.settings.set("Speed", "70000");  // beyond 16 bits
    world.settings.set("MainLeft", "nan");
    world.settings.set("LastKeyMap", " 3 ");
    link.LoadSettings();
    EXPECT_EQ(state.AppName[0], "");
    EXPECT_EQ(state.ComPort, 1);
    EXPECT_EQ(state.MouseSpeed, 5);
    EXPECT_EQ(state.MainLeft, 0.0f);
    EXPECT_EQ(state.LastKeyMap, 3);
    for (const char* value : {"0", "yes", ""}) {
        world.settings.set("Log", value);
        link.ReadLogSwitch();
        EXPECT_FALSE(state.LogEnabled) << value;
    }
    world.settings.set("Log", "1");
    link.ReadLogSwitch();
    EXPECT_TRUE(state.LogEnabled);
    link.SaveSettings();
    EXPECT_EQ(world.settings.writes().size(), 27u);  // the switch is never written
    EXPECT_THAT(world.logSink.diagnostics(),
                ElementsAre("Setting Com is not a number: \"abc\", using 1",
                            "Setting Speed is not a number: \"70000\", using 5",
                            "Setting MainLeft is not a number: \"nan\", using 0"));
    EXPECT_EQ(LogMessages().size(), 3u);
}

TEST(LogTextTest, TagsAndFileNames) {
    auto tagged = [](std::string text) {
        ApplyLogTags(text);
        return text;
    };
    EXPECT_EQ(tagged("*EAMI: 3"), ">AT=6< 3");
    EXPECT_EQ(tagged("*EAMI"), ">AT=9<");
    EXPECT_EQ(tagged("AT*EASM=\"Zintor\",1,1"), ">AT=4<=\"Zintor\",1,1");
    EXPECT_EQ(tagged("AT*EAM=\"Zintor\""), ">AT=1<=\"Zintor\"");
    EXPECT_EQ(tagged("AT-Command Failed-->AT*EAID=1,2,"), "AT-Command Failed-->>AT=5<=1,2,");
    EXPECT_EQ(tagged("at+cscs AT+CMER *EAAI +CKEV: 5,1 *EAII: 0 +CKEV:"),
              ">CharSet< >AT=2< >AT=3< >AT=7< 5,1 >AT=8< 0 >AT=7<");
    EXPECT_EQ(tagged("AT+cscs at*eam"), "AT+cscs at*eam");  // case-sensitive

    EXPECT_EQ(LogFileNameForDate("05.03.2024"), "05-03-2024.txt");
    EXPECT_EQ(LogFileNameForDate("3/5/2024"), "3-5-2024.txt");
}

TEST_F(LinkTest, LogLinesAndFiles) {
    const std::string folder = world.files.folder(KnownFolder::Log);
    EXPECT_EQ(state.LogFileName, folder + "/05-03-2024.txt");
    world.loop.runFor(61000);
    link.WriteLog("*EAMI: 2");
    EXPECT_EQ(world.files.contents(state.LogFileName), "05.03.2024\t12:01:01\t>AT=6< 2\r\n");

    // A second start on the same day appends to the same file.
    ProgramState again;
    again.LogEnabled = true;
    Link second(again, ports, procedures);
    second.InitLog();
    second.WriteLog("started again");
    EXPECT_THAT(LogMessages(), ElementsAre(">AT=6< 2", "started again"));

    // Off: nothing is written anywhere.
    ProgramState off;
    MemoryFiles before = world.files;
    Link third(off, ports, procedures);
    third.InitLog();
    third.WriteLog("quiet");
    EXPECT_EQ(world.files.files(), before.files());
}

TEST_F(LinkTest, ALogThatCannotBeWrittenIsReportedOnce) {
    world.files.setUnwritable(state.LogFileName);
    for (int i = 0; i < 3; ++i) {
        link.WriteLog("lost");
    }
    EXPECT_THAT(world.logSink.diagnostics(),
                ElementsAre("Cannot write the diagnostic log " + state.LogFileName));
    EXPECT_TRUE(state.LogEnabled);

    // A log folder that cannot be made switches the log off; missing parents are made.
    SimWorld other;
    other.files.setFolder(KnownFolder::Log, "/home/u/.local/state/Zintor/log");
    other.files.remove("/home/u/.local/state/Zintor/log");
    other.files.remove("/home/u/.local/state/Zintor");
    Ports otherPorts = other.ports();
    ProgramState made;
    made.LogEnabled = true;
    Link maker(made, otherPorts, procedures);
    maker.InitLog();
    EXPECT_TRUE(made.LogEnabled);
    EXPECT_TRUE(other.files.folderExists("/home/u/.local/state/Zintor/log"));

    other.files.setFolder(KnownFolder::Log, "/var/zintor/log");
    other.files.remove("/var/zintor/log");
    other.files.setUncreatable("/var/zintor/log");
    ProgramState failed;
    failed.LogEnabled = true;
    Link failing(failed, otherPorts, procedures);
    failing.InitLog();
    EXPECT_FALSE(failed.LogEnabled);
    EXPECT_THAT(other.logSink.diagnostics(),
                ElementsAre("Diagnostic log switched off: cannot create /var/zintor/log"));
}

TEST(FileHelpersTest, PathsTakenApart) {
    EXPECT_EQ(GetFolderPath("C:\\Program Files\\Winamp\\winamp.exe", '\\'),
              "C:\\Program Files\\Winamp\\");
    EXPECT_EQ(GetFolderPath("winamp.exe", '\\'), "");
    EXPECT_EQ(GetFolderPath("/usr/bin/", '/'), "/usr/bin/");

    const auto split = SplitFileName("C:\\a\\b.c.mp3", '\\');
    EXPECT_EQ(split.BaseName, "b");
    EXPECT_EQ(split.Extension, "c.mp3");
    const auto noDot = SplitFileName("/a.b/README", '/');
    EXPECT_EQ(noDot.BaseName, "README");
    EXPECT_EQ(noDot.Extension, "");
    EXPECT_EQ(SplitFileName("song.mp3", '/').BaseName, "song");
}

TEST(FileHelpersTest, ExistenceAndFolders) {
    MemoryFiles files;
    const std::string system = GetSystemFolder(files);
    files.putFile(system + "/k8055d.dll", "");
    EXPECT_TRUE(FileExists(files, system + "/K8055D.DLL"));
    EXPECT_FALSE(FileExists(files, system + "/K8055.DLL"));
    files.addFolder("/music/album.2024");
    EXPECT_TRUE(FileExists(files, "/music/album.2024"));
    EXPECT_TRUE(FolderExists(files, "/music/album.2024"));
    EXPECT_FALSE(FolderExists(files, system + "/k8055d.dll"));

    EXPECT_TRUE(CreateFolder(files, "/music"));
    EXPECT_FALSE(CreateFolder(files, "/new/level"));  // one level only
    EXPECT_TRUE(CreateFolderPath(files, "/new/level/deep"));
    EXPECT_TRUE(FolderExists(files, "/new/level"));
}

}  // namespace
}  // namespace zintor

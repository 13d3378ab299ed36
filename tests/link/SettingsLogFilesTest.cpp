// The settings store values, the diagnostic log, and the path helpers.

#include <tuple>

#include "LinkFixture.h"
#include "link/FileHelpers.h"
#include "link/LogText.h"

namespace zintor {
namespace {

using ::testing::IsSupersetOf;

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

    // Slots 0..3 are stored with a blank in the name, the rest without.
    EXPECT_EQ(world.settings.writes().size(), 27u);
    EXPECT_THAT(world.settings.writes(),
                IsSupersetOf({"Com=4", "Speed=12", "AppName 0=Editor", "AppPath 0=/usr/bin/editor",
                              "AppName 1=", "AppPath9=/opt/winamp/winamp.exe", "LastKeyMap=2",
                              "MainLeft=1440", "MainTop=0", "SettingTop=-12.5", "Auto=0"}));
    EXPECT_EQ(world.settings.flushCount(), 1);

    ProgramState loaded;
    Link(loaded, ports, procedures).LoadSettings();
    auto stored = [](const ProgramState& s) {
        return std::tie(s.ComPort, s.MouseSpeed, s.AppName, s.AppPath, s.LastKeyMap, s.MainLeft,
                        s.SettingTop, s.AutoConnect);
    };
    EXPECT_EQ(stored(loaded), stored(state));
}

TEST_F(LinkTest, SettingsThatAreNotWhatTheProgramWrote) {
    state.ComPort = state.MouseSpeed = 9;  // replaced by the defaults
    world.settings.set("AppName0", "no space: not slot 0");
    world.settings.set("Com", "abc");
    world.settings.set("Speed", "70000");  // beyond 16 bits
    world.settings.set("MainLeft", "nan");
    world.settings.set("LastKeyMap", " 3 ");
    link.LoadSettings();
    EXPECT_EQ(std::tie(state.AppName[0], state.ComPort, state.MouseSpeed, state.MainLeft,
                       state.LastKeyMap),
              std::make_tuple("", 1, 5, 0.0f, 3));
    EXPECT_THAT(world.logSink.diagnostics(),
                ElementsAre("Setting Com is not a number: \"abc\", using 1",
                            "Setting Speed is not a number: \"70000\", using 5",
                            "Setting MainLeft is not a number: \"nan\", using 0"));
    EXPECT_EQ(LogMessages().size(), 3u);  // in the diagnostic log too

    // The log switch is on only for exactly "1", and is never written.
    for (const char* value : {"1", "0", "yes"}) {
        world.settings.set("Log", value);
        link.ReadLogSwitch();
        EXPECT_EQ(state.LogEnabled, value == std::string("1")) << value;
    }
    link.SaveSettings();
    EXPECT_EQ(world.settings.writes().size(), 27u);
}

TEST(LogTextTest, TagsAndFileNames) {
    auto tagged = [](std::string text) {
        ApplyLogTags(text);
        return text;
    };
    EXPECT_EQ(tagged("*EAMI: 3"), ">AT=6< 3");
    EXPECT_EQ(tagged("*EAMI"), ">AT=9<");
    EXPECT_EQ(tagged("AT-Command Failed-->AT*EAID=1,2,"), "AT-Command Failed-->>AT=5<=1,2,");
    EXPECT_EQ(tagged("AT*EASM=\"Zintor\" AT*EAM=\"Zintor\" at+cscs AT+CMER *EAAI +CKEV: 5,1 "
                     "*EAII: 0 +CKEV:"),
              ">AT=4<=\"Zintor\" >AT=1<=\"Zintor\" >CharSet< >AT=2< >AT=3< >AT=7< 5,1 >AT=8< 0 "
              ">AT=7<");
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

    // A log that cannot be written is reported once.
    world.files.setUnwritable(state.LogFileName);
    for (int i = 0; i < 3; ++i) {
        link.WriteLog("lost");
    }
    EXPECT_THAT(world.logSink.diagnostics(),
                ElementsAre("Cannot write the diagnostic log " + state.LogFileName));
    EXPECT_TRUE(state.LogEnabled);
}

TEST(LogFolderTest, MissingParentsAreMadeAndAFolderThatCannotBeMadeSwitchesTheLogOff) {
    SimWorld world;
    Ports ports = world.ports();
    RecordingProcedures procedures{world.loop};
    auto logOnAfterInit = [&] {
        ProgramState state;
        state.LogEnabled = true;
        Link(state, ports, procedures).InitLog();
        return state.LogEnabled;
    };
    world.files.setFolder(KnownFolder::Log, "/home/u/.local/state/Zintor/log");
    world.files.remove("/home/u/.local/state/Zintor/log");
    world.files.remove("/home/u/.local/state/Zintor");
    EXPECT_TRUE(logOnAfterInit());
    EXPECT_TRUE(world.files.folderExists("/home/u/.local/state/Zintor/log"));

    world.files.setFolder(KnownFolder::Log, "/var/zintor/log");
    world.files.remove("/var/zintor/log");
    world.files.setUncreatable("/var/zintor/log");
    EXPECT_FALSE(logOnAfterInit());
    EXPECT_THAT(world.logSink.diagnostics(),
                ElementsAre("Diagnostic log switched off: cannot create /var/zintor/log"));
}

TEST(FileHelpersTest, PathsTakenApart) {
    EXPECT_EQ(GetFolderPath("C:\\Program Files\\Winamp\\winamp.exe", '\\'),
              "C:\\Program Files\\Winamp\\");
    EXPECT_EQ(GetFolderPath("winamp.exe", '\\'), "");
    const auto split = SplitFileName("C:\\a\\b.c.mp3", '\\');
    EXPECT_EQ(split.BaseName + "|" + split.Extension, "b|c.mp3");
    const auto noDot = SplitFileName("/a.b/README", '/');
    EXPECT_EQ(noDot.BaseName + "|" + noDot.Extension, "README|");
}

}  // namespace
}  // namespace zintor

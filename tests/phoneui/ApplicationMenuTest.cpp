// The application list on the phone and the programs it starts.
#include <gtest/gtest.h>

#include "MenuRig.h"

namespace zintor::testing {
namespace {

const std::string kMainMenu = "AT*EASM=\"Zintor\",1,";

class ApplicationMenu : public ::testing::Test {
  protected:
    void SetUp() override { rig.connect(); }

    void configure(int slot, const std::string& name, const std::string& path, bool exists = true) {
        rig.state.AppName[static_cast<std::size_t>(slot)] = name;
        rig.state.AppPath[static_cast<std::size_t>(slot)] = path;
        if (exists) {
            rig.world.files.putFile(path, "#!/bin/sh\n");
        }
    }

    MenuRig rig;
};

TEST_F(ApplicationMenu, ListSkipsEmptySlotsAndStartsTheChosenOne) {
    configure(0, "Text editor for all my notes", "/apps/editor");
    configure(2, "", "/apps/tool");
    rig.state.AppName[1] = "name without a path";

    EXPECT_EQ(rig.say("*EAMI: 2"),
              Lines{"AT*EASM=\"Application\",1,1,2,\"Text editor for\",\"Unknown\""});
    EXPECT_TRUE(rig.onlyFlag(ModeApplicationMenu));

    // Item 2 is the second configured slot, slot 2.
    EXPECT_EQ(rig.say("*EAMI: 2"),
              Lines{"AT*EASM=\"Application\",1,2,2,\"Text editor for\",\"Unknown\""});
    EXPECT_EQ(rig.world.launcher.calls(), Lines{"start /apps/tool"});
    EXPECT_EQ(rig.say("*EAMI: 1"),
              Lines{"AT*EASM=\"Application\",1,1,2,\"Text editor for\",\"Unknown\""});
    EXPECT_EQ(rig.world.launcher.calls(), (Lines{"start /apps/tool", "start /apps/editor"}));

    // A choice beyond the list starts nothing and is highlighted as it came.
    EXPECT_EQ(rig.say("*EAMI: 7"),
              Lines{"AT*EASM=\"Application\",1,7,2,\"Text editor for\",\"Unknown\""});
    EXPECT_EQ(rig.world.launcher.calls().size(), 2u);

    // Two digits: only the last one counts.
    rig.say("*EAMI: 12");
    EXPECT_EQ(rig.world.launcher.calls().back(), "start /apps/tool");
    EXPECT_EQ(rig.world.launcher.calls().size(), 3u);

    // Back: the main menu on "Application"; opening the list again highlights item 1.
    EXPECT_EQ(rig.say("*EAMI: 0"),
              Lines{kMainMenu + "2,3,\"Move Mouse\",\"Application\",\"About\""});
    EXPECT_TRUE(NoModeActive(rig.state));
    EXPECT_EQ(rig.say("*EAMI: 2"),
              Lines{"AT*EASM=\"Application\",1,1,2,\"Text editor for\",\"Unknown\""});

    // Nothing after the number's place, or no digit at the end: back to the main menu too.
    for (const char* odd : {"*EAMI: ", "*EAMI: x"}) {
        EXPECT_EQ(rig.say(odd), Lines{kMainMenu + "2,3,\"Move Mouse\",\"Application\",\"About\""});
        rig.say("*EAMI: 2");
    }
    EXPECT_EQ(rig.world.launcher.calls().size(), 3u);
}

TEST_F(ApplicationMenu, AllNineSlotsAreReachable) {
    for (int slot = 0; slot < 9; ++slot) {
        configure(slot, "App " + std::to_string(slot), "/apps/" + std::to_string(slot));
    }
    rig.say("*EAMI: 2");
    const Lines list = rig.say("*EAMI: 9");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].rfind("AT*EASM=\"Application\",1,9,9,\"App 0\",", 0), 0u) << list[0];
    EXPECT_EQ(rig.world.launcher.calls(), Lines{"start /apps/8"});
}

TEST_F(ApplicationMenu, EmptyListShowsThePopUp) {
    rig.state.AppName[4] = "named but no path";
    EXPECT_EQ(rig.say("*EAMI: 2"),
              Lines{"AT*EAID=1,2,\"No application available - you need to add the application "
                    "path in settings\",80"});
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    // Closing the pop-up: the main menu, as after every error pop-up.
    EXPECT_EQ(rig.say("*EAII: 1,1"),
              Lines{kMainMenu + "1,3,\"Move Mouse\",\"Application\",\"About\""});
    EXPECT_TRUE(NoModeActive(rig.state));
}

TEST_F(ApplicationMenu, MissingFileIsIgnoredAndFailedStartIsLogged) {
    configure(0, "Gone", "/apps/gone", false);
    configure(1, "Broken", "/apps/broken");
    rig.say("*EAMI: 2");

    EXPECT_EQ(rig.say("*EAMI: 1"), Lines{"AT*EASM=\"Application\",1,1,2,\"Gone\",\"Broken\""});
    EXPECT_TRUE(rig.world.launcher.calls().empty());

    rig.world.launcher.failWith("Permission denied");
    EXPECT_EQ(rig.say("*EAMI: 2"), Lines{"AT*EASM=\"Application\",1,2,2,\"Gone\",\"Broken\""});
    EXPECT_EQ(rig.world.launcher.calls(), Lines{"start /apps/broken"});
    EXPECT_TRUE(rig.onlyFlag(ModeApplicationMenu));
    ASSERT_FALSE(rig.world.logSink.diagnostics().empty());
    EXPECT_EQ(rig.world.logSink.diagnostics().back(),
              "Could not start /apps/broken: Permission denied");
}

}  // namespace
}  // namespace zintor::testing

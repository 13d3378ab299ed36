// The main menu in its four layouts, the ways back to it, and what the phone may send that does
// not fit the screen it shows.
#include <gtest/gtest.h>

#include "MenuRig.h"

namespace zintor::testing {
namespace {

struct Layout {
    MenuConfig config;
    std::string menuLine;  // main menu, item 1 highlighted, without the highlight field
    int items;
    int usbItem;  // 0: none
    int aboutItem;
};

std::string MainMenu(const Layout& layout, int highlighted) {
    return "AT*EASM=\"Zintor\",1," + std::to_string(highlighted) + layout.menuLine;
}

class MainMenuLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(MainMenuLayout, ConversationThroughTheTree) {
    const Layout& layout = GetParam();
    MenuRig rig(layout.config);
    rig.connect();
    EXPECT_EQ(rig.world.phone.texts().back(), MainMenu(layout, 1));
    // The line goes out whole, with CR LF.
    EXPECT_NE(rig.world.phone.rawReceived().find(MainMenu(layout, 1) + "\r\n"), std::string::npos);

    // Numbers the layout does not have change nothing.
    for (const std::string& n : Lines{"0", std::to_string(layout.items + 1), "9", "99"}) {
        EXPECT_EQ(rig.say("*EAMI: " + n), Lines{}) << n;
        EXPECT_TRUE(NoModeActive(rig.state)) << n;
    }

    // About: the pop-up, and closing it brings the main menu back on "About".
    EXPECT_EQ(rig.say("*EAMI: " + std::to_string(layout.aboutItem)),
              Lines{"AT*EAID=1,2,\"Zintor 4.0.0 - phone remote control for your PC\",100"});
    EXPECT_TRUE(rig.onlyFlag(ModeAbout));
    EXPECT_EQ(rig.say("*EAII: 1,1"), Lines{MainMenu(layout, layout.aboutItem)});
    EXPECT_TRUE(NoModeActive(rig.state));
    rig.say("*EAMI: " + std::to_string(layout.aboutItem));
    EXPECT_EQ(rig.say("*EAII: 0"), Lines{MainMenu(layout, layout.aboutItem)});

    // Application is always item 2.
    rig.say("*EAMI: 2");
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));  // no application configured
    EXPECT_EQ(rig.say("*EAII: 1,1"), Lines{MainMenu(layout, 1)});

    if (layout.usbItem != 0) {
        const Lines usb = rig.say("*EAMI: " + std::to_string(layout.usbItem));
        ASSERT_EQ(usb.size(), 1u);
        EXPECT_EQ(usb[0].rfind("AT*EASM=\"USB\",1,1,9,", 0), 0u) << usb[0];
        EXPECT_EQ(rig.say("*EAMI: 0"), Lines{MainMenu(layout, layout.usbItem)});
    }
    if (layout.config.winamp) {
        EXPECT_EQ(rig.say("*EAMI: 3"), Lines{});
        EXPECT_EQ(rig.procedures.others, Lines{"WinAMP_Menu_Selected 99"});
    } else {
        EXPECT_TRUE(rig.procedures.others.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MainMenuLayout,
    ::testing::Values(
        Layout{{false, false}, ",3,\"Move Mouse\",\"Application\",\"About\"", 3, 0, 3},
        Layout{{true, false}, ",4,\"Move Mouse\",\"Application\",\"WinAMP\",\"About\"", 4, 0, 4},
        Layout{{false, true}, ",4,\"Move Mouse\",\"Application\",\"USB\",\"About\"", 4, 3, 4},
        Layout{{true, true},
               ",5,\"Move Mouse\",\"Application\",\"WinAMP\",\"USB\",\"About\"",
               5,
               4,
               5}),
    [](const auto& info) {  // stable test names: "WinampBoard", "NoWinampNoBoard", ...
        return std::string(info.param.config.winamp ? "" : "No") + "Winamp" +
               (info.param.config.usb ? "" : "No") + "Board";
    });

const std::string kMenu3 = "AT*EASM=\"Zintor\",1,1,3,\"Move Mouse\",\"Application\",\"About\"";

// In every state, *EAAI (the user opens the accessory entry) lands on the main menu with item 1,
// and a bare *EAMI ends the screen: timers stopped, keypad reporting off, the entry registered.
TEST(MainMenu, AccessoryEntryAndBareEamiInEveryState) {
    for (int flag = -1; flag < 8; ++flag) {
        MenuRig rig;
        rig.connect();
        const std::pair<std::string, Lines> answers[] = {
            {"*EAAI", {kMenu3}}, {"*EAMI", {"AT+CMER=0,0,0,0,0", "AT*EAM=\"Zintor\""}}};
        for (const auto& [line, answer] : answers) {
            if (flag >= 0) {
                rig.state.ModeFlags[static_cast<std::size_t>(flag)] = true;
            }
            rig.link->ResetTimer(2, 0);
            rig.link->ResetTimer(3, 0);
            EXPECT_EQ(rig.say(line), answer) << line << " with flag " << flag;
            EXPECT_TRUE(NoModeActive(rig.state)) << line << " with flag " << flag;
        }
        for (int slot : {0, 1, 2, 3}) {
            EXPECT_FALSE(rig.link->TimerRunning(slot)) << "slot " << slot;
        }
    }
}

TEST(MainMenu, ErrorPopUpReturnsToItemOneWhateverLedThere) {
    MenuRig rig({true, true});
    rig.connect();
    rig.menus->ErrorMessage("Something went wrong", 50, 4);
    EXPECT_TRUE(rig.onlyFlag(ModeErrorPopUp));
    EXPECT_EQ(rig.world.phone.texts().back(), "AT*EAID=1,2,\"Something went wrong\",50");
    const Lines back = rig.say("*EAII: 1,1");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].rfind("AT*EASM=\"Zintor\",1,1,5,", 0), 0u);

    // Without a timeout there is no pop-up: the main menu comes at once on the given item.
    rig.world.phone.clearLines();
    rig.menus->ErrorMessage("ignored", 0, 3);
    rig.world.loop.runFor(500);
    ASSERT_EQ(rig.world.phone.texts().size(), 1u);
    EXPECT_EQ(rig.world.phone.texts()[0].rfind("AT*EASM=\"Zintor\",1,3,5,", 0), 0u);
}

// Lines that are not menu numbers never crash and never move the menu.
TEST(MainMenu, BadInputChangesNothing) {
    MenuRig rig;
    rig.connect();
    for (const char* line : {"*EAMI: ", "*EAMI: x", "*EAMI: -1", "*EAMI:", "", "*EAMI: 00",
                             "*eami: 1", "*EAII: 1,1", "*EAII: 0", "*EAII: 11,\"text\"", "RING"}) {
        EXPECT_EQ(rig.say(line), Lines{}) << '"' << line << '"';
        EXPECT_TRUE(NoModeActive(rig.state)) << '"' << line << '"';
    }
    EXPECT_TRUE(rig.procedures.others.empty());
    // The number is read from the two characters after "*EAMI: " only.
    EXPECT_EQ(rig.say("*EAMI: 3 and more"),
              Lines{"AT*EAID=1,2,\"Zintor 4.0.0 - phone remote control for your PC\",100"});
}

}  // namespace
}  // namespace zintor::testing

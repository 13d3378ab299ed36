// The key help window built from a key map: its rows, a width that follows the longest function
// text, and which closings are reported.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "ShellTestApp.h"
#include "app/KeyNames.h"
#include "control/KeyHelpContent.h"
#include "platform/qt/KeyHelpWindow.h"
#include "platform/qt/QtDesktop.h"

namespace zintor {
namespace {

int RightEdge(const QLabel* label) {
    return label->geometry().x() + label->width();
}

class KeyHelpWindowTest : public ::testing::Test {
  protected:
    KeyHelpWindowTest() {
        desktop.setListener(&events);
        fillKeyNames(state);
        KeyMap map;
        map.name = "Media";
        map.keys[1].help = "Play";
        map.keys[5].help = "Volume of the selected track, louder while held, and softer again";
        map.keys[12].help = "Delete";
        map.keys[20].help = "never shown: the direction keys have no row";
        map.keys[22].help = "Previous";
        state.keyMaps.push_back(map);
    }

    KeyHelpWindow* Show() {
        desktop.showKeyHelp(keyHelpCaption(state), keyHelpRows(state));
        return desktop.keyHelpWindow();
    }

    test::WithApp app_;
    ProgramState state;
    QtDesktop desktop;
    test::RecordingEvents events;
};

TEST_F(KeyHelpWindowTest, RowsFollowTheKeyMapTheWidthItsLongestTextOnlyTheUsersClosingIsReported) {
    KeyHelpWindow* w = Show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Zintor Key Help   -   Media");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    const auto& keys = w->keyLabels();
    const auto& functions = w->functionLabels();
    ASSERT_EQ(keys.size(), 20);  // keys 0-17, Left, Right
    ASSERT_EQ(functions.size(), 20);
    QStringList rows;
    for (int r : {0, 5, 12, 17, 18, 19}) {
        rows << keys[r]->text() + ": " + functions[r]->text();
    }
    // No help text: the row is still there. Left comes right after Back: no rows for 18-21.
    EXPECT_EQ(
        rows,
        (QStringList{"Key 0: ", "Key 5: " + QString::fromStdString(state.keyMaps[0].keys[5].help),
                     "Clear: Delete", "Back: Leave this function", "Left: Previous", "Right: "}));
    for (int r = 0; r < 20; ++r) {
        EXPECT_GE(functions[r]->width(),
                  functions[r]->fontMetrics().horizontalAdvance(functions[r]->text()))
            << r;
    }
    // With a short text for key 5 the window is narrower, by as much as the text was longer.
    const int wideWidth = w->width();
    const int longRight = RightEdge(functions[5]);
    desktop.closeKeyHelp();
    state.keyMaps[0].keys[5].help = "Mute";
    KeyHelpWindow* narrow = Show();
    ASSERT_NE(narrow, nullptr);
    const int leaveRight = RightEdge(narrow->functionLabels()[17]);  // now the longest
    EXPECT_LT(narrow->width(), wideWidth);
    EXPECT_EQ(wideWidth - narrow->width(), longRight - leaveRight);

    // Only a closing by the user is reported (the program knows when it closes the window).
    QTest::qWait(10);
    EXPECT_TRUE(events.calls.empty());
    EXPECT_EQ(Show(), narrow);  // shown again while open: the same window
    narrow->close();
    EXPECT_EQ(events.calls, std::vector<std::string>{"keyHelpClosed"});
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
}

}  // namespace
}  // namespace zintor

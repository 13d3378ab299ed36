// The key help window built from a key map: its rows, their places in twips, and a width that
// follows the longest function text.
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

constexpr char kLongHelp[] =
    "Volume of the selected track, louder while held, and softer again with the key below it";

int px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

int rightEdge(const QLabel* label) {
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
        map.keys[5].help = kLongHelp;
        map.keys[12].help = "Delete";
        map.keys[20].help = "never shown: the direction keys have no row";
        map.keys[22].help = "Previous";
        state.keyMaps.push_back(map);
    }

    KeyHelpWindow* show() {
        desktop.showKeyHelp(keyHelpCaption(state), keyHelpRows(state));
        return desktop.keyHelpWindow();
    }

    test::WithApp app_;
    ProgramState state;
    QtDesktop desktop;
    test::RecordingEvents events;
};

TEST_F(KeyHelpWindowTest, RowsPlacesAndSizeFollowTheKeyMap) {
    KeyHelpWindow* w = show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Zintor Key Help   -   Media");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    auto* functionHeading = w->findChild<QLabel*>("lblFunctionHeading");
    ASSERT_NE(functionHeading, nullptr);
    EXPECT_EQ(functionHeading->pos(), QPoint(px(1680), px(120)));

    const auto& keys = w->keyLabels();
    const auto& functions = w->functionLabels();
    ASSERT_EQ(keys.size(), 20);  // keys 0-17, Left, Right
    ASSERT_EQ(functions.size(), 20);
    QStringList rows;
    for (int r : {0, 5, 12, 17, 18, 19}) {
        rows << keys[r]->text() + ": " + functions[r]->text();
    }
    // No help text: the row is still there. Left comes right after Back: no rows for 18-21.
    EXPECT_EQ(rows, (QStringList{"Key 0: ", QString("Key 5: ") + kLongHelp, "Clear: Delete",
                                 "Back: Leave this function", "Left: Previous", "Right: "}));
    int rightmost = 0;
    for (int r = 0; r < 20; ++r) {
        const int top = px(r * 250 + 480);
        EXPECT_EQ(keys[r]->pos(), QPoint(px(120), top)) << r;
        EXPECT_EQ(functions[r]->pos(), QPoint(px(120 + 1560), top)) << r;
        // Each label shows its whole text.
        EXPECT_GE(functions[r]->width(),
                  functions[r]->fontMetrics().horizontalAdvance(functions[r]->text()))
            << r;
        rightmost = std::max(rightmost, rightEdge(functions[r]));
    }
    EXPECT_EQ(rightmost, rightEdge(functions[5]));
    EXPECT_EQ(w->width(), rightmost + px(300));
    EXPECT_EQ(w->height(), px(19 * 250 + 480 + 800));

    // With a short text for key 5 the window is narrower, by as much as the text was longer.
    const int wideWidth = w->width();
    const int longRight = rightEdge(functions[5]);
    desktop.closeKeyHelp();
    state.keyMaps[0].keys[5].help = "Mute";
    KeyHelpWindow* narrow = show();
    ASSERT_NE(narrow, nullptr);
    const int leaveRight = rightEdge(narrow->functionLabels()[17]);  // now the longest
    EXPECT_EQ(narrow->width(), leaveRight + px(300));
    EXPECT_EQ(wideWidth - narrow->width(), longRight - leaveRight);
}

TEST_F(KeyHelpWindowTest, OnlyAClosingByTheUserIsReported) {
    show();
    desktop.closeKeyHelp();  // the program closes it: the program knows
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
    QTest::qWait(10);
    EXPECT_TRUE(events.calls.empty());

    KeyHelpWindow* w = show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(show(), w);  // shown again while open: the same window
    w->close();            // the user closes it
    EXPECT_EQ(events.calls, std::vector<std::string>{"keyHelpClosed"});
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
}

}  // namespace
}  // namespace zintor

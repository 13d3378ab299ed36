// The key help window built from a key map: its rows, their places in twips, and a width that
// follows the longest function text.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "ShellTestApp.h"
#include "app/KeyNames.h"
#include "control/KeyHelpContent.h"
#include "platform/qt/KeyHelpWindow.h"
#include "platform/qt/QtDesktop.h"

namespace zintor {
namespace {

using test::RecordingEvents;
using test::ShellApp;

constexpr char kLongHelp[] =
    "Volume of the selected track, louder while held, and softer again with the key below it";

int Px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

class KeyHelpWindowTest : public ::testing::Test {
  protected:
    KeyHelpWindowTest() {
        ShellApp();
        desktop.setListener(&events);
        FillKeyNames(state);
        KeyMap map;
        map.Name = "Media";
        map.Keys[1].Help = "Play";
        map.Keys[5].Help = kLongHelp;
        map.Keys[12].Help = "Delete";
        map.Keys[20].Help = "never shown: the direction keys have no row";
        map.Keys[22].Help = "Previous";
        state.KeyMaps.push_back(map);
    }

    KeyHelpWindow* Show() {
        desktop.showKeyHelp(KeyHelpCaption(state), KeyHelpRows(state));
        return desktop.keyHelpWindow();
    }

    test::WithApp app_;
    ProgramState state;
    QtDesktop desktop;
    RecordingEvents events;
};

TEST_F(KeyHelpWindowTest, RowsAndPlacesFollowTheKeyMap) {
    KeyHelpWindow* w = Show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Zintor Key Help   -   Media");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);

    auto* keyHeading = w->findChild<QLabel*>("lblKeyHeading");
    auto* functionHeading = w->findChild<QLabel*>("lblFunctionHeading");
    ASSERT_TRUE(keyHeading && functionHeading);
    EXPECT_EQ(keyHeading->text(), "Key");
    EXPECT_EQ(keyHeading->pos(), QPoint(Px(120), Px(120)));
    EXPECT_EQ(functionHeading->text(), "Function");
    EXPECT_EQ(functionHeading->pos(), QPoint(Px(1680), Px(120)));
    EXPECT_TRUE(keyHeading->font().bold());

    const auto& keys = w->keyLabels();
    const auto& functions = w->functionLabels();
    ASSERT_EQ(keys.size(), 20);  // keys 0-17, Left, Right
    ASSERT_EQ(functions.size(), 20);
    EXPECT_EQ(keys[5]->text(), "Key 5");
    EXPECT_EQ(functions[5]->text(), kLongHelp);
    EXPECT_EQ(functions[1]->text(), "Play");
    EXPECT_EQ(keys[12]->text(), "Clear");
    EXPECT_EQ(functions[12]->text(), "Delete");
    EXPECT_EQ(functions[13]->text(), "Shows help");
    EXPECT_EQ(functions[14]->text(), "Change keymap");
    EXPECT_EQ(functions[17]->text(), "Leave this function");
    EXPECT_EQ(functions[0]->text(), "");  // no help text: the row is still there
    EXPECT_EQ(keys[18]->text(), "Left");  // right after Back: no gap for keys 18-21
    EXPECT_EQ(functions[18]->text(), "Previous");
    EXPECT_EQ(functions[19]->text(), "");
    for (const QLabel* f : functions) {
        EXPECT_FALSE(f->text().startsWith("never shown"));
    }
    EXPECT_EQ(keys[19]->text(), "Right");

    for (int r = 0; r < 20; ++r) {
        const int top = Px(r * 250 + 480);
        EXPECT_EQ(keys[r]->pos(), QPoint(Px(120), top)) << r;
        EXPECT_EQ(functions[r]->pos(), QPoint(Px(120 + 1560), top)) << r;
        // Each label shows its whole text.
        EXPECT_GE(functions[r]->width(),
                  functions[r]->fontMetrics().horizontalAdvance(functions[r]->text()))
            << r;
    }
}

TEST_F(KeyHelpWindowTest, SizeFollowsTheLongestTextAndTheLastRow) {
    KeyHelpWindow* wide = Show();
    ASSERT_NE(wide, nullptr);
    const QLabel* longest = wide->functionLabels()[5];
    int rightmost = 0;
    for (const QLabel* f : wide->functionLabels()) {
        rightmost = std::max(rightmost, f->geometry().x() + f->width());
    }
    EXPECT_EQ(rightmost, longest->geometry().x() + longest->width());
    EXPECT_EQ(wide->width(), rightmost + Px(300));
    EXPECT_EQ(wide->height(), Px(19 * 250 + 480 + 800));
    const int wideWidth = wide->width();
    const int longWidth = longest->width();

    // The same key map with a short text for key 5 gives a narrower window.
    desktop.closeKeyHelp();
    state.KeyMaps[0].Keys[5].Help = "Mute";
    KeyHelpWindow* narrow = Show();
    ASSERT_NE(narrow, nullptr);
    const QLabel* leave = narrow->functionLabels()[17];  // "Leave this function" is now longest
    EXPECT_EQ(narrow->width(), leave->geometry().x() + leave->width() + Px(300));
    EXPECT_EQ(wideWidth - narrow->width(), longWidth - leave->width());
    EXPECT_EQ(narrow->height(), Px(19 * 250 + 480 + 800));
}

TEST_F(KeyHelpWindowTest, AKeyMapWithoutNameOrHelpStillShowsEveryRow) {
    state.KeyMaps[0] = KeyMap{};
    KeyHelpWindow* w = Show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Zintor Key Help   -   ");
    EXPECT_EQ(w->keyLabels().size(), 20);
    const QLabel* leave = w->functionLabels()[17];
    EXPECT_EQ(w->width(), leave->geometry().x() + leave->width() + Px(300));
}

TEST_F(KeyHelpWindowTest, OnlyAClosingByTheUserIsReported) {
    Show();
    desktop.closeKeyHelp();  // the core closes it: the core knows
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
    test::RunEventsFor(10);
    EXPECT_TRUE(events.calls.empty());

    KeyHelpWindow* w = Show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Show(), w);  // shown again while open: the same window
    w->close();            // the user closes it
    EXPECT_EQ(events.calls, std::vector<std::string>{"keyHelpClosed"});
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
    desktop.closeKeyHelp();  // nothing open: nothing happens
    EXPECT_EQ(events.calls.size(), 1u);
}

}  // namespace
}  // namespace zintor

// The windows of the phone's keys: the key help window built from a key map, and the key-map
// notice, also as the desktop without a display keeps it. (When the program shows, renames and
// closes them is played in the transcripts.)
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include "ShellTestApp.h"
#include "core/control/KeyHelpContent.h"
#include "core/program/KeyNames.h"
#include "platform/qt/HeadlessDesktop.h"
#include "platform/qt/KeyHelpWindow.h"
#include "platform/qt/NoticeWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {
namespace {

QString noticeText(QtDesktop& desktop) {
    NoticeWindow* notice = desktop.noticeWindow();
    return notice && notice->isVisible() ? notice->label()->text() : QString();
}

TEST(KeyWindows, KeyHelpRowsFollowTheKeyMapANoticeStaysThreeSecondsAfterItsLastText) {
    test::WithApp app;
    ProgramState state;
    fillKeyNames(state);
    KeyMap& map = state.keyMaps.emplace_back();
    map.name = "Media";
    map.keys[1].help = "Play";
    map.keys[5].help = "Volume of the selected track, louder while held, and softer again";
    map.keys[12].help = "Delete";
    map.keys[20].help = "never shown: the direction keys have no row";
    map.keys[22].help = "Previous";
    QtDesktop desktop;
    test::RecordingEvents events;
    desktop.setListener(&events);
    const auto show = [&] {
        desktop.showKeyHelp(keyHelpCaption(state), keyHelpRows(state));
        return desktop.keyHelpWindow();
    };

    KeyHelpWindow* w = show();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Zintor Key Help   -   Media");
    EXPECT_TRUE(w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint));
    const auto& keys = w->keyLabels();
    const auto& functions = w->functionLabels();
    ASSERT_EQ(keys.size(), 20);  // keys 0-17, Left, Right
    QStringList rows;
    for (int r : {0, 5, 12, 17, 18, 19}) {
        rows << keys[r]->text() + ": " + functions[r]->text();
    }
    // No help text: the row is still there. Left comes right after Back: no rows for 18-21.
    EXPECT_EQ(
        rows,
        (QStringList{"Key 0: ", "Key 5: " + QString::fromStdString(state.keyMaps[0].keys[5].help),
                     "Clear: Delete", "Back: Leave this function", "Left: Previous", "Right: "}));
    // Only a closing by the user is reported (the program knows when it closes the window).
    QTest::qWait(10);
    EXPECT_TRUE(events.calls.empty());
    EXPECT_EQ(show(), w);  // shown again while open: the same window
    w->close();
    EXPECT_EQ(events.calls, std::vector<std::string>{"keyHelpClosed"});
    EXPECT_EQ(desktop.keyHelpWindow(), nullptr);
    events.calls.clear();

    // The key-map notice closes itself 3 s after its last text, and says so.
    QElapsedTimer clock;
    clock.start();
    desktop.showNotice("Changed Key Map to\r\nMedia");
    QTest::qWait(1500);
    EXPECT_EQ(noticeText(desktop), "Changed Key Map to\nMedia");
    EXPECT_TRUE(desktop.noticeWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    desktop.setNoticeText("Changed Key Map to\r\nSlides");
    const qint64 secondAt = clock.elapsed();
    QTest::qWait(2000);
    EXPECT_EQ(noticeText(desktop), "Changed Key Map to\nSlides");  // past the first text's 3 s
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.noticeWindow() == nullptr; }, 2000));
    EXPECT_GE(clock.elapsed() - secondAt, NoticeWindow::kCloseAfterMs - 2);
    EXPECT_EQ(events.calls, std::vector<std::string>{"noticeClosed"});

    // Closed by the program: not reported.
    desktop.showNotice("Changed Key Map to\r\nMouse"), desktop.closeNotice();
    EXPECT_EQ(desktop.noticeWindow(), nullptr);
    desktop.setNoticeText("Changed Key Map to\r\nMedia");  // nothing open: nothing happens
    QTest::qWait(50);
    EXPECT_EQ(events.calls.size(), 1u);
}

TEST(KeyWindows, WithoutADisplayTheNoticeClosesThreeSecondsAfterTheLastChange) {
    SimEventLoop loop;
    HeadlessDesktop desktop(loop);
    test::RecordingEvents listener;
    desktop.setListener(&listener);

    desktop.showNotice("Changed Key Map to\r\nMedia");
    loop.runFor(2000);
    desktop.setNoticeText("Changed Key Map to\r\nMouse");  // restarts the three seconds
    loop.runFor(2990);
    EXPECT_TRUE(desktop.view().noticeShown);
    EXPECT_TRUE(listener.calls.empty());
    loop.runFor(20);
    EXPECT_FALSE(desktop.view().noticeShown);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"noticeClosed"});

    desktop.showNotice("x"), desktop.closeNotice();  // closed by the program: no report
    loop.runFor(5000);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"noticeClosed"});
}

}  // namespace
}  // namespace zintor

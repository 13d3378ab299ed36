// The key-map notice: it closes itself 3 s after its last text, on the real Qt loop, while the
// "#" key's handler waits for it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "ShellTestApp.h"
#include "control/KeyWindows.h"
#include "platform/qt/NoticeWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"

namespace zintor {
namespace {

// Hands the notice's closing to the key windows, as the program does, and records it.
class Forward : public test::RecordingEvents {
  public:
    explicit Forward(KeyWindows& windows) : windows_(windows) {}
    void noticeClosed() override {
        RecordingEvents::noticeClosed();
        windows_.noticeClosed();
    }

  private:
    KeyWindows& windows_;
};

QString noticeText(QtDesktop& desktop) {
    NoticeWindow* notice = desktop.noticeWindow();
    return notice && notice->isVisible() ? notice->label()->text() : QString();
}

TEST(NoticeWindow, ASecondChangeKeepsItOpenUntilThreeSecondsAfterIt) {
    test::shellApp();
    ProgramState state;
    state.keyMaps.resize(3);
    state.keyMaps[1].name = "Media";
    state.keyMaps[2].name = "Slides";
    state.currentKeyMap = 1;
    QtDesktop desktop;
    QtEventLoop loop;
    KeyWindows windows(state, desktop, loop);
    Forward events(windows);
    desktop.setListener(&events);

    QElapsedTimer clock;
    clock.start();
    qint64 secondAt = -1;
    QString firstText, secondText;
    QTimer::singleShot(1500, Qt::PreciseTimer, [&] {
        firstText = noticeText(desktop);
        EXPECT_TRUE(desktop.noticeWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
        state.currentKeyMap = 2;  // "#" again, handled while the first one waits
        secondAt = clock.elapsed();
        windows.keyMapChanged();
    });
    QTimer::singleShot(3500, Qt::PreciseTimer, [&] { secondText = noticeText(desktop); });

    windows.keyMapChanged();  // shows the notice and returns when it has closed
    const qint64 closedAt = clock.elapsed();

    EXPECT_EQ(firstText, "Changed Key Map to\nMedia");
    EXPECT_EQ(secondText, "Changed Key Map to\nSlides");  // still open after the first 3 s
    ASSERT_GE(secondAt, 0);
    EXPECT_GE(closedAt - secondAt, NoticeWindow::kCloseAfterMs - 2);
    EXPECT_LT(closedAt - secondAt, NoticeWindow::kCloseAfterMs + KeyWindows::kNoticeGraceMs);
    EXPECT_FALSE(state.keyMapNoticeShown);
    EXPECT_EQ(desktop.noticeWindow(), nullptr);
    // Closed by its own timer (the program's fallback would have closed it without a report).
    EXPECT_EQ(events.calls, std::vector<std::string>{"noticeClosed"});

    // Closed by the program: not reported.
    desktop.showNotice("Changed Key Map to\r\nMouse");
    EXPECT_FALSE(noticeText(desktop).isEmpty());
    desktop.closeNotice();
    EXPECT_EQ(desktop.noticeWindow(), nullptr);
    desktop.setNoticeText("Changed Key Map to\r\nMedia");  // nothing open: nothing happens
    QTest::qWait(50);
    EXPECT_EQ(events.calls.size(), 1u);
}

}  // namespace
}  // namespace zintor

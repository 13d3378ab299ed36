// The key-map notice: it closes itself 3 s after its last text, on the real Qt loop, while the
// "#" key's handler waits for it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include "ShellTestApp.h"
#include "control/KeyWindows.h"
#include "platform/qt/NoticeWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"

namespace zintor {
namespace {

using test::RecordingEvents;
using test::ShellApp;

// Hands the desktop's reports to the key windows, as the program does, and records them.
class Forward : public RecordingEvents {
  public:
    explicit Forward(KeyWindows& windows) : windows_(windows) {}
    void keyHelpClosed() override {
        RecordingEvents::keyHelpClosed();
        windows_.KeyHelpClosed();
    }
    void noticeClosed() override {
        RecordingEvents::noticeClosed();
        windows_.NoticeClosed();
    }

  private:
    KeyWindows& windows_;
};

KeyMap Named(const char* name) {
    KeyMap map;
    map.Name = name;
    return map;
}

TEST(NoticeWindow, ASecondChangeKeepsItOpenUntilThreeSecondsAfterIt) {
    ShellApp();
    ProgramState state;
    state.KeyMaps = {Named("Mouse"), Named("Media"), Named("Slides")};
    state.CurrentKeyMap = 1;
    QtDesktop desktop;
    QtEventLoop loop;
    KeyWindows windows(state, desktop, loop);
    Forward events(windows);
    desktop.setListener(&events);

    QElapsedTimer clock;
    clock.start();
    qint64 secondAt = -1;
    QString firstText, secondText;
    bool topmost = false, stillOpenAfterFirstThree = false;
    QTimer::singleShot(1500, Qt::PreciseTimer, [&] {
        NoticeWindow* notice = desktop.noticeWindow();
        ASSERT_NE(notice, nullptr);
        firstText = notice->label()->text();
        topmost = notice->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                  notice->windowTitle() == "Zintor";
        state.CurrentKeyMap = 2;  // "#" again, handled while the first one waits
        secondAt = clock.elapsed();
        windows.KeyMapChanged();
    });
    QTimer::singleShot(3500, Qt::PreciseTimer, [&] {
        stillOpenAfterFirstThree = desktop.noticeWindow() && desktop.noticeWindow()->isVisible();
        if (desktop.noticeWindow()) {
            secondText = desktop.noticeWindow()->label()->text();
        }
    });

    windows.KeyMapChanged();  // shows the notice and returns when it has closed
    const qint64 closedAt = clock.elapsed();

    EXPECT_EQ(firstText, "Changed Key Map to\nMedia");
    EXPECT_TRUE(topmost);
    EXPECT_TRUE(stillOpenAfterFirstThree);
    EXPECT_EQ(secondText, "Changed Key Map to\nSlides");
    ASSERT_GE(secondAt, 0);
    EXPECT_GE(closedAt - secondAt, NoticeWindow::kCloseAfterMs - 2);
    EXPECT_LT(closedAt - secondAt, NoticeWindow::kCloseAfterMs + KeyWindows::kNoticeGraceMs);
    EXPECT_FALSE(state.KeyMapNoticeShown);
    EXPECT_EQ(desktop.noticeWindow(), nullptr);
    // Closed by its own timer (the core's fallback would have closed it without a report).
    EXPECT_EQ(events.calls, std::vector<std::string>{"noticeClosed"});
}

TEST(NoticeWindow, ClosedByTheProgramItIsNotReported) {
    ShellApp();
    QtDesktop desktop;
    RecordingEvents events;
    desktop.setListener(&events);
    desktop.showNotice("Changed Key Map to\r\nMouse");
    ASSERT_NE(desktop.noticeWindow(), nullptr);
    EXPECT_TRUE(desktop.noticeWindow()->isVisible());
    desktop.closeNotice();
    EXPECT_EQ(desktop.noticeWindow(), nullptr);
    desktop.setNoticeText("Changed Key Map to\r\nMedia");  // nothing open: nothing happens
    test::RunEventsFor(50);
    EXPECT_TRUE(events.calls.empty());
}

}  // namespace
}  // namespace zintor

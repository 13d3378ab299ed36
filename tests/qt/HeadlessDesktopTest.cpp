#include "qt/HeadlessDesktop.h"

#include <gtest/gtest.h>

#include "ShellTestApp.h"
#include "sim/SimEventLoop.h"

namespace zintor {
namespace {

TEST(HeadlessDesktop, TheNoticeClosesThreeSecondsAfterTheLastChange) {
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

    // Closed by the program: no report.
    desktop.showNotice("x");
    desktop.closeNotice();
    loop.runFor(5000);
    EXPECT_EQ(listener.calls, std::vector<std::string>{"noticeClosed"});
}

}  // namespace
}  // namespace zintor

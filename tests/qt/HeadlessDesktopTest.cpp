#include "qt/HeadlessDesktop.h"

#include <gtest/gtest.h>

#include "sim/SimEventLoop.h"

namespace zintor {
namespace {

class NoticeListener : public DesktopEvents {
  public:
    int noticeClosedCount = 0;
    void connectClicked() override {}
    void portChosen(int) override {}
    void autoConnectClicked() override {}
    void settingsClicked() override {}
    void exitClicked() override {}
    void refreshPortsClicked() override {}
    void enumeratePortsClicked() override {}
    void mouseSpeedChanged(int) override {}
    void keyHelpClosed() override {}
    void noticeClosed() override { ++noticeClosedCount; }
};

TEST(HeadlessDesktop, TheNoticeClosesThreeSecondsAfterTheLastChangeAndSettingsStayAsGiven) {
    SimEventLoop loop;
    HeadlessDesktop desktop(loop);
    NoticeListener listener;
    desktop.setListener(&listener);

    desktop.showNotice("Changed Key Map to\r\nMedia");
    loop.runFor(2000);
    desktop.setNoticeText("Changed Key Map to\r\nMouse");  // restarts the three seconds
    loop.runFor(2990);
    EXPECT_TRUE(desktop.view().noticeShown);
    EXPECT_EQ(listener.noticeClosedCount, 0);
    loop.runFor(20);
    EXPECT_FALSE(desktop.view().noticeShown);
    EXPECT_EQ(listener.noticeClosedCount, 1);

    // Closed by the program: no report.
    desktop.showNotice("x");
    desktop.closeNotice();
    loop.runFor(5000);
    EXPECT_EQ(listener.noticeClosedCount, 1);

    // Without windows the settings come back as given and no file is chosen.
    SettingsForm form;
    form.appName[2] = "Editor";
    EXPECT_EQ(desktop.showSettings(form).appName[2], "Editor");
    EXPECT_EQ(desktop.chooseFile("Choose", "exe"), std::nullopt);
}

}  // namespace
}  // namespace zintor

// The main window frmMain: the tray menu's commands as buttons, the debug key echo, its place in
// twips, and what happens when there is no tray.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "ShellTestApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"

namespace zintor {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { desktop.setListener(&events); }

    test::WithApp app_;
    QtDesktop desktop;
    MainWindow& window = desktop.mainWindow();
    test::RecordingEvents events;
};

TEST_F(MainWindowTest, ButtonsReportTheTrayCommandsAndKeysInTheDebugBoxEchoTheirCodes) {
    for (const char* name :
         {"cmdConnect", "cmdSetting", "Command1", "Command2", "cmdPlayerCheck", "cmdExit"}) {
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(events.calls, (std::vector<std::string>{"connect", "settings", "enumeratePorts",
                                                      "refreshPorts", "playerCheck", "exit"}));
    // The phone settings button opens the tray's own port sub-menu.
    EXPECT_EQ(window.findChild<QPushButton*>("cmdPhone")->menu(), desktop.trayMenu().phoneMenu());

    QTest::keyClicks(window.debugInput(), "aA");
    QTest::keyClick(window.debugInput(), Qt::Key_Shift);  // no character: no echo
    QTest::keyClick(window.debugInput(), Qt::Key_Return);
    EXPECT_EQ(window.debugEcho()->toPlainText(), "<-->97<-->65<-->13");

    window.move(40, 30);
    float left = -1, top = -1;
    desktop.mainWindowPosition(left, top);
    EXPECT_EQ(left, 600.0f);
    EXPECT_EQ(top, 450.0f);
}

}  // namespace
}  // namespace zintor

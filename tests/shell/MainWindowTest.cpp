// The desktop's own commands: the tray menu's entries and the main window's buttons report to the
// program, the debug key echo, the window's place in twips, the tray icon's frames and tip.
#include <gtest/gtest.h>

#include <QImage>
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

TEST_F(MainWindowTest, MenuEntriesAndButtonsReportAndKeysInTheDebugBoxEchoTheirCodes) {
    // Clicks do not set check marks themselves: the program does.
    desktop.setPortItems({{"Serial Com1", false}, {"Bluetooth Com3", true}});
    TrayMenu& menu = desktop.trayMenu();
    for (QAction* a : {menu.connectAction(), menu.portActions()[0], menu.portActions()[1],
                       menu.autoConnectAction(), menu.settingsAction(), menu.exitAction()}) {
        a->trigger();
    }
    EXPECT_FALSE(menu.portActions()[0]->isChecked());
    EXPECT_TRUE(menu.portActions()[1]->isChecked());
    for (const char* name :
         {"cmdConnect", "cmdSetting", "Command1", "Command2", "cmdPlayerCheck", "cmdExit"}) {
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(events.calls,
              (std::vector<std::string>{"connect", "portChosen 0", "portChosen 1", "autoConnect",
                                        "settings", "exit", "connect", "settings", "enumeratePorts",
                                        "refreshPorts", "playerCheck", "exit"}));
    // The phone settings button opens the tray's own port sub-menu.
    EXPECT_EQ(window.findChild<QPushButton*>("cmdPhone")->menu(), menu.phoneMenu());

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

TEST_F(MainWindowTest, TrayIconFramesAreCompiledInAndTheTipIsCutTo63Characters) {
    const QImage first(":/zintor/icons/101.png");
    const QImage last(":/zintor/icons/103.png");
    ASSERT_EQ(first.size(), QSize(32, 32));
    EXPECT_NE(first, last);
    desktop.trayAdd("Zintor");
    ASSERT_NE(desktop.trayIcon(), nullptr);
    EXPECT_EQ(desktop.trayIcon()->toolTip(), "Zintor");
    desktop.trayShowFrame(103);
    desktop.traySetTip(std::string(100, 'x'));
    EXPECT_EQ(desktop.trayIcon()->toolTip(), QString(63, QLatin1Char('x')));
    // A new tip keeps the frame.
    EXPECT_EQ(desktop.trayIcon()->icon().pixmap(32, 32).toImage().convertToFormat(last.format()),
              last);
    desktop.trayRemove();
    EXPECT_EQ(desktop.trayIcon(), nullptr);
}

}  // namespace
}  // namespace zintor

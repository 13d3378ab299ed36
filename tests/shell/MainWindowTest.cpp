// The main window frmMain: the tray menu's commands as buttons, the port buttons, the debug key
// echo, and what happens when there is no tray.
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

using test::RecordingEvents;
using test::ShellApp;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        ShellApp();
        desktop.setListener(&events);
    }
    QPushButton* button(const char* name) {
        auto* b = desktop.mainWindow().findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }

    test::WithApp app_;
    QtDesktop desktop;
    RecordingEvents events;
};

TEST_F(MainWindowTest, ButtonsReportTheTrayCommandsAndThePortButtons) {
    for (const char* name :
         {"cmdConnect", "cmdSetting", "Command1", "Command2", "cmdPlayerCheck", "cmdExit"}) {
        QTest::mouseClick(button(name), Qt::LeftButton);
    }
    EXPECT_EQ(events.calls, (std::vector<std::string>{"connect", "settings", "enumeratePorts",
                                                      "refreshPorts", "playerCheck", "exit"}));
    EXPECT_EQ(button("cmdSetting")->text(), "Settings");
    // The phone settings button opens the tray's own port sub-menu.
    EXPECT_EQ(button("cmdPhone")->menu(), desktop.trayMenu().phoneMenu());
}

TEST_F(MainWindowTest, KeysTypedIntoTheDebugBoxEchoTheirCharacterCodes) {
    QLineEdit* txtDebug = desktop.mainWindow().debugInput();
    QTest::keyClicks(txtDebug, "aA");
    QTest::keyClick(txtDebug, Qt::Key_Shift);  // no character: no echo
    QTest::keyClick(txtDebug, Qt::Key_Return);
    QTest::keyClick(txtDebug, Qt::Key_1);
    EXPECT_EQ(desktop.mainWindow().debugEcho()->toPlainText(), "<-->97<-->65<-->13<-->49");
}

TEST_F(MainWindowTest, LabelCaptionAndPositionInTwips) {
    desktop.setComLabel("COM Port: 4");
    desktop.setConnectCaption("Disconnect");
    EXPECT_EQ(desktop.mainWindow().comLabel()->text(), "COM Port: 4");
    EXPECT_EQ(button("cmdConnect")->text(), "Disconnect");

    desktop.mainWindow().move(40, 30);
    float left = -1, top = -1;
    desktop.mainWindowPosition(left, top);
    EXPECT_EQ(left, 600.0f);
    EXPECT_EQ(top, 450.0f);
}

// Qt's offscreen platform has no tray: the main window takes its place.
TEST_F(MainWindowTest, WithoutATrayTheMainWindowStaysAndClosingItExits) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    desktop.trayAdd("Zintor");
    desktop.hideMainWindow();

    EXPECT_TRUE(desktop.showingMainInsteadOfTray());
    EXPECT_TRUE(desktop.mainWindow().isVisible());
    EXPECT_TRUE(desktop.mainWindow().noTrayLine()->isVisibleTo(&desktop.mainWindow()));
    EXPECT_EQ(desktop.mainWindow().windowTitle(), "Zintor");
    desktop.traySetTip("Zintor - Connected");
    EXPECT_EQ(desktop.mainWindow().windowTitle(), "Zintor - Connected");

    desktop.mainWindow().close();
    EXPECT_EQ(events.calls, std::vector<std::string>{"exit"});
    EXPECT_TRUE(desktop.mainWindow().isVisible());  // the core ends the program, not the window
}

TEST_F(MainWindowTest, NotifyWithoutATrayShowsANonModalMessage) {
    desktop.trayAdd("Zintor");
    desktop.notify("Zintor", "KeyMap.xml:3:1: something is wrong");
    QWidget* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "ZintorNotice" && w->isVisible()) {
            box = w;
        }
    }
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isModal());
    box->close();
}

}  // namespace
}  // namespace zintor

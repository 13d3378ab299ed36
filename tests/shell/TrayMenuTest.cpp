// The tray menu as the program fills it; the tray menu's entries and the main window's buttons
// report to the program; the debug key echo, the window's place in twips, the icon's frames and
// tip.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include "ShellTestApp.h"
#include "app/Program.h"
#include "link/Link.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

// The visible entries of a menu ("-" for a separator), or only those with a check mark.
QStringList menuTexts(const QMenu* menu, bool checkedOnly = false) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isVisible() && (a->isChecked() || !checkedOnly)) {
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
    }
    return out;
}

// The whole program on the simulated phone, with the real Qt desktop in place of the recording
// one, and the ports COM1 (cable), COM3 (Bluetooth), COM10 and COM17.
class TrayMenuTest : public ::testing::Test {
  protected:
    TrayMenuTest() {
        world.registry.add("\\Device\\Serial10", "COM10");
        world.registry.add("\\Device\\BtPort3", "COM3");
        world.registry.add("\\Device\\Serial0", "COM1");
        world.registry.add("\\Device\\Serial17", "COM17");
        program.state().comPort = 3;
    }

    QMenu* phone() { return desktop.trayMenu().phoneMenu(); }

    test::WithApp app_;
    SimWorld world;
    QtDesktop desktop;
    Ports sim = world.ports();
    Program program{Ports{sim.loop, sim.serial, sim.registry, sim.settings, sim.files, sim.logSink,
                          desktop, sim.launcher, sim.input, sim.mixer, sim.player, sim.board}};
};

TEST_F(TrayMenuTest, EntriesPortsUpToSixteenTheirChecksAndTheConnectCaptionFollowingTheLink) {
    program.state().autoConnect = 0;
    program.link().refreshComMenu();
    QMenu* menu = desktop.trayMenu().menu();
    EXPECT_EQ(menuTexts(menu),
              (QStringList{"Connect", "Phone settings", "Program settings", "Exit"}));
    EXPECT_EQ(menu->actions()[1]->menu(), phone());
    EXPECT_EQ(menuTexts(phone()),
              (QStringList{"Serial Com1", "Bluetooth Com3", "Serial Com10", "AutoConnect"}));
    EXPECT_EQ(menuTexts(phone(), true), QStringList{"Bluetooth Com3"});

    QAction* autoConnect = desktop.trayMenu().autoConnectAction();
    for (int expected : {1, 0, 1}) {
        autoConnect->trigger();
        EXPECT_EQ(program.state().autoConnect, expected);
        EXPECT_EQ(autoConnect->isChecked(), expected == 1);
    }

    auto* connectButton = desktop.mainWindow().findChild<QPushButton*>("cmdConnect");
    ASSERT_NE(connectButton, nullptr);
    desktop.trayMenu().portActions()[0]->trigger();  // "Serial Com1"
    EXPECT_EQ(program.state().comPort, 1);
    EXPECT_TRUE(program.state().connected);
    EXPECT_EQ(menuTexts(phone(), true), QStringList{"Serial Com1"});  // autoConnect lost its mark
    EXPECT_EQ(program.state().autoConnect, 1);                        // but keeps its value
    EXPECT_EQ(desktop.trayMenu().connectAction()->text(), "Disconnect");
    EXPECT_EQ(connectButton->text(), "Disconnect");
    EXPECT_EQ(desktop.tip(), "Zintor - Connected");
    EXPECT_TRUE(desktop.mainWindow().comLabel()->text().endsWith("1"));
    desktop.trayMenu().connectAction()->trigger();  // "Disconnect"
    EXPECT_FALSE(program.state().connected);
    EXPECT_EQ(desktop.trayMenu().connectAction()->text(), "Connect");
    EXPECT_EQ(connectButton->text(), "Connect");
    EXPECT_EQ(desktop.tip(), "Zintor");

    // Without any port the sub-menu says so until one appears.
    world.registry.setPorts({});
    program.link().refreshComMenu();
    EXPECT_EQ(menuTexts(phone()), (QStringList{"No serial port found", "AutoConnect"}));
    EXPECT_FALSE(phone()->actions()[0]->isEnabled());
    world.registry.add("\\Device\\Serial0", "COM2");
    program.link().refreshComMenu();
    EXPECT_EQ(menuTexts(phone()), (QStringList{"Serial Com2", "AutoConnect"}));
}

TEST(MainWindow, EntriesAndButtonsReportKeysInTheDebugBoxEchoTheTrayIconFramesAndTip) {
    test::WithApp app;
    QtDesktop desktop;
    test::RecordingEvents events;
    desktop.setListener(&events);
    MainWindow& window = desktop.mainWindow();
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
    EXPECT_EQ(std::pair(left, top), std::pair(600.0f, 450.0f));

    // The icon's frames are compiled in; a tip is cut to 63 characters and keeps the frame.
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
    EXPECT_EQ(desktop.trayIcon()->icon().pixmap(32, 32).toImage().convertToFormat(last.format()),
              last);
    desktop.trayRemove();
    EXPECT_EQ(desktop.trayIcon(), nullptr);
}

}  // namespace
}  // namespace zintor

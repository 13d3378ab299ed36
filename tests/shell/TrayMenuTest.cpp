// The tray menu as the core fills it: entries, order, the port sub-menu with its check marks,
// and the Connect caption following the link.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <QSystemTrayIcon>

#include "ShellTestApp.h"
#include "app/Program.h"
#include "link/Link.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using test::RecordingEvents;
using test::ShellApp;

QStringList VisibleTexts(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isVisible()) {
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
    }
    return out;
}

QStringList CheckedTexts(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isVisible() && a->isChecked()) {
            out << a->text();
        }
    }
    return out;
}

// The whole program on the simulated phone, with the real Qt desktop in place of the
// recording one.
class TrayMenuTest : public ::testing::Test {
  protected:
    TrayMenuTest() {
        ShellApp();
        world.registry.add("\\Device\\Serial10", "COM10");
        world.registry.add("\\Device\\BtPort3", "COM3");
        world.registry.add("\\Device\\Serial0", "COM1");
        world.registry.add("\\Device\\Serial17", "COM17");
    }

    Program& program() {
        if (!program_) {
            Ports ports = world.ports();
            Ports withQt{ports.loop,  ports.serial,  ports.registry, ports.settings,
                         ports.files, ports.logSink, desktop,        ports.launcher,
                         ports.input, ports.mixer,   ports.player,   ports.board};
            program_ = std::make_unique<Program>(withQt);
        }
        return *program_;
    }
    QMenu* menu() { return desktop.trayMenu().menu(); }
    QMenu* phone() { return desktop.trayMenu().phoneMenu(); }

    test::WithApp app_;
    SimWorld world;
    QtDesktop desktop;
    std::unique_ptr<Program> program_;
};

TEST_F(TrayMenuTest, EntriesComeInOrderWithThePortsUpToSixteen) {
    program().state().ComPort = 3;
    program().link().RefreshComMenu();

    EXPECT_EQ(VisibleTexts(menu()),
              (QStringList{"Connect", "Phone settings", "Program settings", "Exit"}));
    EXPECT_EQ(menu()->actions()[1]->menu(), phone());
    EXPECT_EQ(VisibleTexts(phone()),
              (QStringList{"Serial Com1", "Bluetooth Com3", "Serial Com10", "AutoConnect"}));
    EXPECT_EQ(CheckedTexts(phone()), QStringList{"Bluetooth Com3"});
    // COM17 is known to the program (automatic connection tries it) but not offered.
    ASSERT_EQ(program().state().PortList.size(), 4u);
    EXPECT_EQ(program().state().PortList[3].Port, 17);
}

TEST_F(TrayMenuTest, ChoosingAPortMovesTheCheckAndConnectsThereCaptionFollowsTheLink) {
    program().state().ComPort = 3;
    program().link().RefreshComMenu();
    desktop.setAutoConnectChecked(true);
    auto* connectButton = desktop.mainWindow().findChild<QPushButton*>("cmdConnect");
    ASSERT_NE(connectButton, nullptr);

    desktop.trayMenu().portActions()[0]->trigger();  // "Serial Com1"

    EXPECT_EQ(program().state().ComPort, 1);
    EXPECT_TRUE(program().state().Connected);
    EXPECT_EQ(CheckedTexts(phone()), QStringList{"Serial Com1"});  // AutoConnect lost its mark
    EXPECT_EQ(program().state().AutoConnect, 1);                   // but keeps its value
    EXPECT_EQ(desktop.trayMenu().connectAction()->text(), "Disconnect");
    EXPECT_EQ(connectButton->text(), "Disconnect");
    EXPECT_EQ(desktop.tip(), "Zintor - Connected");
    EXPECT_EQ(desktop.mainWindow().comLabel()->text().endsWith("1"), true);

    desktop.trayMenu().connectAction()->trigger();  // "Disconnect"

    EXPECT_FALSE(program().state().Connected);
    EXPECT_EQ(desktop.trayMenu().connectAction()->text(), "Connect");
    EXPECT_EQ(connectButton->text(), "Connect");
    EXPECT_EQ(desktop.tip(), "Zintor");
}

TEST_F(TrayMenuTest, AutoConnectCheckFollowsTheSetting) {
    program().state().ComPort = 3;
    program().state().AutoConnect = 0;
    program().link().RefreshComMenu();
    QAction* autoConnect = desktop.trayMenu().autoConnectAction();

    autoConnect->trigger();
    EXPECT_EQ(program().state().AutoConnect, 1);
    EXPECT_TRUE(autoConnect->isChecked());

    autoConnect->trigger();
    EXPECT_EQ(program().state().AutoConnect, 0);
    EXPECT_FALSE(autoConnect->isChecked());
}

TEST_F(TrayMenuTest, WithoutAnyPortTheSubMenuSaysSo) {
    world.registry.setPorts({});
    program().link().RefreshComMenu();

    EXPECT_EQ(VisibleTexts(phone()), (QStringList{"No serial port found", "AutoConnect"}));
    EXPECT_FALSE(phone()->actions()[0]->isEnabled());

    // Ports that appear later replace the entry.
    world.registry.add("\\Device\\Serial0", "COM2");
    program().link().RefreshComMenu();
    EXPECT_EQ(VisibleTexts(phone()), (QStringList{"Serial Com2", "AutoConnect"}));
}

TEST(TrayMenu, EveryEntryReportsAndClicksDoNotSetCheckMarksThemselves) {
    ShellApp();
    QtDesktop desktop;
    RecordingEvents events;
    desktop.setListener(&events);
    desktop.setPortItems({{"Serial Com1", false}, {"Bluetooth Com3", true}});
    TrayMenu& menu = desktop.trayMenu();

    menu.connectAction()->trigger();
    menu.portActions()[0]->trigger();
    menu.portActions()[1]->trigger();
    menu.autoConnectAction()->trigger();
    menu.settingsAction()->trigger();
    menu.exitAction()->trigger();

    EXPECT_EQ(events.calls, (std::vector<std::string>{"connect", "portChosen 0", "portChosen 1",
                                                      "autoConnect", "settings", "exit"}));
    EXPECT_FALSE(menu.portActions()[0]->isChecked());
    EXPECT_TRUE(menu.portActions()[1]->isChecked());
    EXPECT_FALSE(menu.autoConnectAction()->isChecked());

    desktop.setPortChecked(0, true);
    desktop.setPortChecked(1, false);
    desktop.setPortChecked(7, true);  // no such item: ignored
    EXPECT_TRUE(menu.portActions()[0]->isChecked());
    EXPECT_FALSE(menu.portActions()[1]->isChecked());

    desktop.setListener(nullptr);
    menu.exitAction()->trigger();  // nobody listening: nothing happens
    EXPECT_EQ(events.calls.size(), 6u);
}

TEST(TrayIcon, FramesAreCompiledInAndTheTipIsCutTo63Characters) {
    ShellApp();
    QImage frames[3];
    for (int i = 0; i < 3; ++i) {
        frames[i] = QImage(QStringLiteral(":/zintor/icons/%1.png").arg(101 + i));
        ASSERT_FALSE(frames[i].isNull()) << 101 + i;
        EXPECT_EQ(frames[i].size(), QSize(32, 32));
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_NE(frames[1], frames[2]);

    QtDesktop desktop;
    desktop.trayAdd("Zintor");
    ASSERT_NE(desktop.trayIcon(), nullptr);
    EXPECT_EQ(desktop.trayIcon()->toolTip(), "Zintor");
    EXPECT_EQ(desktop.frame(), 101);
    desktop.trayShowFrame(103);
    const std::string tip(100, 'x');
    desktop.traySetTip(tip);
    EXPECT_EQ(desktop.trayIcon()->toolTip(), QString(63, QLatin1Char('x')));
    EXPECT_EQ(desktop.frame(), 103);  // a new tip keeps the frame
    EXPECT_EQ(
        desktop.trayIcon()->icon().pixmap(32, 32).toImage().convertToFormat(frames[2].format()),
        frames[2]);

    desktop.trayRemove();
    EXPECT_EQ(desktop.trayIcon(), nullptr);
}

}  // namespace
}  // namespace zintor

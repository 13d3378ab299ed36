// The Qt desktop's tray menu, main window and settings window, also under the whole program on
// the simulated world. (What the program tells the menu is played in the transcripts.)
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <map>
#include <optional>

#include "QtTestSupport.h"
#include "ShellTestApp.h"
#include "core/link/Link.h"
#include "core/program/Program.h"
#include "platform/qt/AutostartEntry.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/SettingsWindow.h"
#include "platform/qt/TrayMenu.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using test::whenModalOpen;

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

class ProgramOnQtDesktop : public ::testing::Test {
  protected:
    // The program on the simulated world, with the real Qt desktop and a settings file in a
    // temporary folder, written first as a user would by hand.
    Program& start(const QByteArray& settingsLines = {}) {
        std::ofstream(iniPath) << "[Settings]\n" << settingsLines.toStdString();
        store.emplace(iniPath);
        Ports p = world.ports();
        program = std::make_unique<Program>(Ports{p.loop, p.serial, p.registry, *store, p.files,
                                                  p.logSink, desktop, p.launcher, p.input, p.mixer,
                                                  p.player, p.board, p.extras});
        program->link().settings.load();
        return *program;
    }

    // Checks the values as a fresh store reads them from the file.
    void expectSaved(const std::map<std::string, std::string>& expected) {
        QtSettingsStore fresh(iniPath);
        for (const auto& [name, value] : expected) {
            EXPECT_EQ(fresh.read(name, "<missing>"), value) << name;
        }
    }

    test::WithApp app_;
    QTemporaryDir dir;
    std::string iniPath = dir.filePath("Zintor4.ini").toStdString();
    std::optional<QtSettingsStore> store;  // made once the file is written
    SimWorld world;
    QtDesktop desktop;
    std::unique_ptr<Program> program;
};

TEST_F(ProgramOnQtDesktop, TrayMenuAndMainWindowShowWhatTheyAreToldReportClicksEchoIconAndTip) {
    test::RecordingEvents events;
    desktop.setListener(&events);
    MainWindow& window = desktop.mainWindow();
    TrayMenu& menu = desktop.trayMenu();
    QMenu* phone = menu.phoneMenu();
    EXPECT_EQ(menuTexts(menu.menu()),
              (QStringList{"Connect", "Phone settings", "Program settings", "Exit"}));
    EXPECT_EQ(menu.menu()->actions()[1]->menu(), phone);
    EXPECT_EQ(window.findChild<QPushButton*>("phoneButton")->menu(), phone);  // the same sub-menu
    desktop.setAutoConnectChecked(true);
    desktop.setPortItems({{"Serial Com1", false}, {"Bluetooth Com3", true}});
    EXPECT_EQ(menuTexts(phone), (QStringList{"Serial Com1", "Bluetooth Com3", "AutoConnect"}));
    EXPECT_EQ(menuTexts(phone, true), (QStringList{"Bluetooth Com3", "AutoConnect"}));
    // Clicks do not set check marks themselves: the program does.
    for (QAction* a : {menu.connectAction(), menu.portActions()[0], menu.portActions()[1],
                       menu.autoConnectAction(), menu.settingsAction(), menu.exitAction()}) {
        a->trigger();
    }
    EXPECT_EQ(menuTexts(phone, true), (QStringList{"Bluetooth Com3", "AutoConnect"}));
    desktop.setPortChecked(1, false), desktop.setPortChecked(0, true);
    desktop.setAutoConnectChecked(false);
    EXPECT_EQ(menuTexts(phone, true), QStringList{"Serial Com1"});
    desktop.setConnectCaption("Disconnect"), desktop.setPortLabel("Current COM -->1");
    EXPECT_EQ((QStringList{menu.connectAction()->text(),
                           window.findChild<QPushButton*>("connectButton")->text(),
                           window.portLabel()->text()}),
              (QStringList{"Disconnect", "Disconnect", "Current COM -->1"}));
    desktop.setPortItems({});
    EXPECT_EQ(menuTexts(phone), (QStringList{"No serial port found", "AutoConnect"}));
    EXPECT_FALSE(phone->actions()[0]->isEnabled());

    for (const char* name : {"connectButton", "settingsButton", "enumeratePortsButton",
                             "refreshPortsButton", "playerCheckButton", "exitButton"}) {
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(events.calls,
              (std::vector<std::string>{"connect", "portChosen 0", "portChosen 1", "autoConnect",
                                        "settings", "exit", "connect", "settings", "enumeratePorts",
                                        "refreshPorts", "playerCheck", "exit"}));

    QTest::keyClicks(window.keyEcho(), "aA");
    QTest::keyClick(window.keyEcho(), Qt::Key_Shift);  // no character: no echo
    QTest::keyClick(window.keyEcho(), Qt::Key_Return);
    EXPECT_EQ(window.keyLog()->toPlainText(), "<-->97<-->65<-->13");

    window.move(40, 30);
    int left = -1, top = -1;
    desktop.mainWindowPosition(left, top);
    EXPECT_EQ(std::pair(left, top), std::pair(40, 30));

    // The icon's frames are compiled in; a tip is cut to 63 characters and keeps the frame.
    const QImage last(":/zintor/icons/103.png");
    desktop.trayAdd("Zintor");
    ASSERT_NE(desktop.trayIcon(), nullptr);
    EXPECT_EQ(desktop.trayIcon()->toolTip(), "Zintor");
    EXPECT_EQ(desktop.trayIcon()->contextMenu(), menu.menu());  // Qt opens it on a right press
    desktop.trayShowFrame(103);
    desktop.traySetTip(std::string(100, 'x'));
    EXPECT_EQ(desktop.trayIcon()->toolTip(), QString(63, QLatin1Char('x')));
    EXPECT_EQ(desktop.trayIcon()->icon().pixmap(32, 32).toImage().convertToFormat(last.format()),
              last);
    desktop.trayRemove();
    EXPECT_EQ(desktop.trayIcon(), nullptr);
}

TEST_F(ProgramOnQtDesktop,
       SettingsLoadsFromTheStoreSelectButtonsFillTheirRowAndClosingSavesEverything) {
    world.registry.add("\\Device\\Serial0", "COM1");
    Program& p = start(
        "AppName%200=Mail\nAppName 3=Old name\nAppPath9=/opt/winamp/winamp\nSpeed=7\nAuto=1\n"
        "SettingLeft=1500\nSettingTop=750\n");
    // A port chosen in the tray menu takes the mark off AutoConnect, not its value.
    p.link().portChoice.refreshComMenu();
    desktop.trayMenu().portActions()[0]->trigger();
    ASSERT_TRUE(p.state().connected);
    EXPECT_FALSE(desktop.trayMenu().autoConnectAction()->isChecked());
    const QString tool = dir.filePath("tool");  // need not exist
    bool opened = false;
    int speedWhileOpen = -1;
    whenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        opened = true;
        EXPECT_EQ((QStringList{w->nameBox(0)->text(), w->nameBox(3)->text()}),
                  (QStringList{"Mail", "Old name"}));
        EXPECT_TRUE(w->speedSlider()->value() == 7 && w->autoConnectBox()->isChecked());
        EXPECT_EQ(w->pos(), QPoint(100, 50));
        for (const QGroupBox* group : w->findChildren<QGroupBox*>()) {  // this desktop's words
            EXPECT_NE(group->title(), "Winamp");
        }
        EXPECT_EQ(w->findChild<QLabel*>("playerLabel")->buddy(), w->pathBox(9));

        w->nameBox(3)->clear();
        QTest::keyClicks(w->nameBox(2), "Gimp");
        w->autoConnectBox()->click();
        w->speedSlider()->setValue(20);
        speedWhileOpen = p.state().mouseSpeed;  // the slider acts before the window closes
        whenModalOpen("QFileDialog", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), "Select File");
            // Typed into the name box, as a user does. (selectFile() leaves the box alone
            // once the box has the focus, which it gets at some point after opening.)
            d->findChild<QLineEdit*>("fileNameEdit")->setText(tool);
            static_cast<QDialog*>(d)->accept();  // as the Open button does
        });
        w->selectButton(4)->click();  // returns when the file dialog has closed
        whenModalOpen("QFileDialog", [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
        w->selectButton(9)->click();
        w->move(200, 120);
        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
    });
    p.settingsClicked();

    ASSERT_TRUE(opened);
    EXPECT_EQ(speedWhileOpen, 20);
    expectSaved({{"AppName 3", ""},
                 {"AppName 2", "Gimp"},
                 {"AppPath 4", tool.toStdString()},   // no extension appended to a program
                 {"AppPath9", "/opt/winamp/winamp"},  // cancelled: the box keeps its text
                 {"Auto", "0"},
                 {"Speed", "20"},
                 {"SettingLeft", "3000"},
                 {"SettingTop", "1800"}});
}

TEST_F(ProgramOnQtDesktop,
       SettingsStartAtLoginWritesAndRemovesTheAutostartEntryASecondOpeningReturns) {
    QTemporaryDir config;
    test::ScopedEnv env("XDG_CONFIG_HOME", config.path().toStdString());
    const QString entry = config.filePath("autostart/zintor.desktop");
    SettingsForm away;  // far outside every screen: placed where the user can see it
    away.left = away.top = -77777;
    // Opens the window, clicks the box and closes the window: whether it was checked before
    // and after the click.
    const auto clickOnce = [&] {
        std::pair<bool, bool> checked;
        whenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
            EXPECT_EQ(modal->pos(),
                      QGuiApplication::primaryScreen()->availableGeometry().topLeft());
            QCheckBox* box = static_cast<SettingsWindow*>(modal)->startAtLoginBox();
            checked.first = box->isChecked();
            SettingsForm other;  // a second opening while open returns at once
            other.appName[0] = "Inner";
            EXPECT_EQ(desktop.showSettings(other).appName[0], "Inner");
            box->click();  // returns when a message box it shows is closed
            checked.second = box->isChecked();
            modal->close();
        });
        desktop.showSettings(away);
        return checked;
    };

    EXPECT_EQ(clickOnce(), std::pair(false, true));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n")) << text.toStdString();
    // The test program is not in PATH: its absolute path.
    EXPECT_TRUE(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + "\n"));

    EXPECT_EQ(clickOnce(), std::pair(true, false));  // shown as there; the click removes it
    EXPECT_FALSE(QFile::exists(entry));

    // A folder that cannot be made: the user is told, and the box shows that there is no file.
    QDir(config.filePath("autostart")).removeRecursively();
    QFile blocker(config.filePath("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString told;
    whenModalOpen("QMessageBox", [&](QWidget* box) {
        told = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    EXPECT_EQ(clickOnce(), std::pair(false, false));
    EXPECT_TRUE(told.contains(entry)) << told.toStdString();
}

TEST(AutostartEntry, ExecNamesTheProgramInPathOrItsQuotedPath) {
    QTemporaryDir dir;
    const QString program = dir.filePath("zintor");
    QFile(program).open(QIODevice::WriteOnly);
    QFile::link(program, dir.filePath("in-path"));
    EXPECT_EQ(AutostartEntry::execFor(program, dir.filePath("in-path")), "zintor");
    EXPECT_EQ(AutostartEntry::execFor(program, "/usr/bin/zintor"), program);
    EXPECT_EQ(AutostartEntry::execFor("/opt/my apps/100%/a\\b$", ""),
              R"("/opt/my apps/100%%/a\\\\b\\$")");
}

}  // namespace
}  // namespace zintor

// The settings window on the whole program: it loads from the settings file, the slider acts
// while the window is open, and closing it (however) writes back and saves the file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include "ShellTestApp.h"
#include "app/Program.h"
#include "app/SettingsDialog.h"
#include "link/Link.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/SettingsWindow.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using test::ShellApp;
using test::WhenModalOpen;

class SettingsWindowTest : public ::testing::Test {
  protected:
    SettingsWindowTest() {
        ShellApp();
        EXPECT_TRUE(dir.isValid());
        iniPath = dir.filePath("Zintor4.ini").toStdString();
    }

    // Writes the settings file as a user would by hand.
    void WriteIni(const QByteArray& settingsLines) {
        QFile f(QString::fromStdString(iniPath));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\n" + settingsLines);
    }

    // The program on the simulated world, with the real desktop and the settings file.
    Program& Start() {
        store = std::make_unique<QtSettingsStore>(iniPath);
        Ports p = world.ports();
        program = std::make_unique<Program>(Ports{p.loop, p.serial, p.registry, *store, p.files,
                                                  p.logSink, desktop, p.launcher, p.input, p.mixer,
                                                  p.player, p.board});
        program->link().LoadSettings();
        return *program;
    }

    std::string Saved(const char* name) {
        QtSettingsStore fresh(iniPath);
        return fresh.read(name, "<missing>");
    }

    test::WithApp app_;
    QTemporaryDir dir;
    std::string iniPath;
    SimWorld world;
    QtDesktop desktop;
    std::unique_ptr<QtSettingsStore> store;
    std::unique_ptr<Program> program;
};

TEST_F(SettingsWindowTest, LoadsFromTheStoreAndSavesEverythingOnClose) {
    WriteIni(
        "AppName%200=Mail\nAppPath%200=/usr/bin/thunderbird\nAppName 3=Old name\n"
        "AppPath%203=/opt/old\nAppPath9=/opt/winamp/winamp\nSpeed=7\nAuto=1\n"
        "SettingLeft=1500\nSettingTop=750\n");
    Program& p = Start();
    desktop.mainWindow().move(20, 10);

    bool opened = false;
    int speedWhileOpen = -1;
    WhenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        opened = true;
        EXPECT_EQ(w->windowTitle(), "Zintor - Settings");
        EXPECT_EQ(w->nameBox(0)->text(), "Mail");
        EXPECT_EQ(w->pathBox(0)->text(), "/usr/bin/thunderbird");
        EXPECT_EQ(w->nameBox(3)->text(), "Old name");
        EXPECT_EQ(w->pathBox(9)->text(), "/opt/winamp/winamp");
        EXPECT_EQ(w->speedSlider()->value(), 7);
        EXPECT_TRUE(w->autoConnectBox()->isChecked());
        EXPECT_EQ(w->versionLabel()->text().toStdString(), VersionText());
        EXPECT_EQ(w->pos(), QPoint(100, 50));
        EXPECT_EQ(w->selectButton(0)->text(), "Select...");
        EXPECT_EQ(w->selectButton(9)->text(), "Select");

        w->nameBox(3)->clear();  // a cleared name box
        QTest::keyClicks(w->pathBox(2), "/usr/bin/gimp");
        QTest::keyClicks(w->nameBox(2), "Gimp");
        w->autoConnectBox()->click();
        w->speedSlider()->setValue(20);
        speedWhileOpen = p.state().MouseSpeed;  // the slider acts before the window closes
        w->move(200, 120);
        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
    });
    p.settingsClicked();

    ASSERT_TRUE(opened);
    EXPECT_EQ(speedWhileOpen, 20);
    EXPECT_EQ(Saved("AppName 3"), "");  // stored, and empty
    EXPECT_EQ(Saved("AppPath 3"), "/opt/old");
    EXPECT_EQ(Saved("AppName 2"), "Gimp");
    EXPECT_EQ(Saved("AppPath 2"), "/usr/bin/gimp");
    EXPECT_EQ(Saved("AppName 0"), "Mail");
    EXPECT_EQ(Saved("AppPath9"), "/opt/winamp/winamp");
    EXPECT_EQ(Saved("Auto"), "0");
    EXPECT_EQ(Saved("Speed"), "20");
    EXPECT_EQ(Saved("SettingLeft"), "3000");
    EXPECT_EQ(Saved("SettingTop"), "1800");
    EXPECT_EQ(Saved("MainLeft"), "300");
    EXPECT_EQ(Saved("MainTop"), "150");
}

TEST_F(SettingsWindowTest, ClosingWithoutChangesSavesAnywayWhicheverWayItIsClosed) {
    Program& p = Start();  // no file yet: the defaults
    for (int way = 0; way < 2; ++way) {
        QFile::remove(QString::fromStdString(iniPath));
        WhenModalOpen("zintor::SettingsWindow", [way](QWidget* w) {
            EXPECT_EQ(w->pos(), QPoint(0, 0));  // first run: top-left of the screen
            if (way == 0) {
                w->close();  // the window's close box
            } else {
                QTest::keyClick(w, Qt::Key_Escape);
            }
        });
        p.settingsClicked();
        EXPECT_EQ(Saved("Auto"), "1") << way;
        EXPECT_EQ(Saved("Speed"), "5") << way;
        EXPECT_EQ(Saved("AppName 8"), "") << way;
        EXPECT_EQ(Saved("SettingLeft"), "0") << way;
    }
}

TEST_F(SettingsWindowTest, OddValuesWrittenByHandOpenTheWindow) {
    const QByteArray longPath = "/very/long/" + QByteArray(5000, 'p');
    WriteIni("AppPath%201=" + longPath + "\nAppName%201=\xc3\xa9t\xc3\xa9 & <b>bold</b>\n" +
             "Speed=-40\nAuto=7\nSettingLeft=1e30\nSettingTop=-77777\n");
    Program& p = Start();
    ASSERT_EQ(p.state().MouseSpeed, -40);

    WhenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        EXPECT_EQ(w->pathBox(1)->text().toUtf8(), longPath);  // shown whole, as typed
        EXPECT_EQ(w->nameBox(1)->text(), QString::fromUtf8("\xc3\xa9t\xc3\xa9 & <b>bold</b>"));
        EXPECT_EQ(w->speedSlider()->value(), SettingsWindow::kSpeedMin);
        EXPECT_FALSE(w->autoConnectBox()->isChecked());  // only 1 means on
        // Far outside every screen: placed where the user can see it.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_EQ(w->pos(), screen.topLeft());
        w->close();
    });
    p.settingsClicked();

    EXPECT_EQ(p.state().MouseSpeed, -40);  // the slider was not touched
    EXPECT_EQ(Saved("AppPath 1"), longPath.toStdString());
    EXPECT_EQ(Saved("Auto"), "0");
}

TEST_F(SettingsWindowTest, SelectButtonsFillTheirRowFromTheFileDialog) {
    QTemporaryDir programs;
    const QString tool = programs.filePath("tool");  // need not exist
    Program& p = Start();
    p.state().AppPath[9] = "/opt/player";

    QString row4, row9;
    WhenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        WhenModalOpen("QFileDialog", [&](QWidget* d) {
            auto* dialog = static_cast<QFileDialog*>(d);
            EXPECT_EQ(dialog->windowTitle(), "Select File");
            dialog->selectFile(tool);
            static_cast<QDialog*>(dialog)->accept();  // as the Open button does
        });
        w->selectButton(4)->click();  // returns when the file dialog has closed
        row4 = w->pathBox(4)->text();

        WhenModalOpen("QFileDialog", [](QWidget* d) { static_cast<QFileDialog*>(d)->reject(); });
        w->selectButton(9)->click();
        row9 = w->pathBox(9)->text();
        w->close();
    });
    p.settingsClicked();

    EXPECT_EQ(row4, tool);           // programs on Linux have no extension: nothing appended
    EXPECT_EQ(row9, "/opt/player");  // cancelled: the box keeps its text
    EXPECT_EQ(Saved("AppPath 4"), tool.toStdString());
}

TEST(SettingsWindow, ASecondOpeningWhileOpenRaisesTheFirst) {
    ShellApp();
    QtDesktop desktop;
    SettingsForm form;
    form.appName[0] = "Outer";
    SettingsForm inner;
    WhenModalOpen("zintor::SettingsWindow", [&](QWidget* w) {
        SettingsForm other;
        other.appName[0] = "Inner";
        inner = desktop.showSettings(other);  // returns at once, nothing nested
        w->close();
    });
    const SettingsForm outer = desktop.showSettings(form);
    EXPECT_EQ(inner.appName[0], "Inner");
    EXPECT_EQ(outer.appName[0], "Outer");
}

}  // namespace
}  // namespace zintor

// The settings window on the whole program: it loads from the settings file, the slider acts
// while it is open, closing it (however) saves the file. Its file dialog, the autostart entry.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <map>
#include <optional>

#include "ShellTestApp.h"
#include "app/Program.h"
#include "link/Link.h"
#include "platform/qt/AutostartEntry.h"
#include "platform/qt/ProgramFileDialog.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/SettingsWindow.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using test::whenModalOpen;

class SettingsWindowTest : public ::testing::Test {
  protected:
    // The program on the simulated world, with the real desktop and a settings file in a
    // temporary folder, written first as a user would by hand.
    Program& start(const QByteArray& settingsLines = {}) {
        std::ofstream(iniPath) << "[Settings]\n" << settingsLines.toStdString();
        store.emplace(iniPath);
        Ports p = world.ports();
        program = std::make_unique<Program>(Ports{p.loop, p.serial, p.registry, *store, p.files,
                                                  p.logSink, desktop, p.launcher, p.input, p.mixer,
                                                  p.player, p.board});
        program->link().loadSettings();
        return *program;
    }

    // Checks the values as a fresh store reads them from the file.
    void ExpectSaved(const std::map<std::string, std::string>& expected) {
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

TEST_F(SettingsWindowTest, LoadsFromTheStoreSelectButtonsFillTheirRowAndClosingSavesEverything) {
    Program& p = start(
        "AppName%200=Mail\nAppPath%200=/usr/bin/thunderbird\nAppName 3=Old name\n"
        "AppPath%203=/opt/old\nAppPath9=/opt/winamp/winamp\nSpeed=7\nAuto=1\n"
        "SettingLeft=1500\nSettingTop=750\n");
    const QString tool = dir.filePath("tool");  // need not exist
    bool opened = false;
    int speedWhileOpen = -1;
    QString row4, row9;
    whenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        opened = true;
        EXPECT_EQ(w->nameBox(0)->text(), "Mail");
        EXPECT_EQ(w->pathBox(0)->text(), "/usr/bin/thunderbird");
        EXPECT_EQ(w->nameBox(3)->text(), "Old name");
        EXPECT_EQ(w->speedSlider()->value(), 7);
        EXPECT_TRUE(w->autoConnectBox()->isChecked());
        EXPECT_EQ(w->pos(), QPoint(100, 50));

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
        row4 = w->pathBox(4)->text();
        whenModalOpen("QFileDialog", [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
        w->selectButton(9)->click();
        row9 = w->pathBox(9)->text();
        w->move(200, 120);
        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
    });
    p.settingsClicked();

    ASSERT_TRUE(opened);
    EXPECT_EQ(speedWhileOpen, 20);
    EXPECT_EQ(row4, tool);                  // programs on Linux have no extension: none appended
    EXPECT_EQ(row9, "/opt/winamp/winamp");  // cancelled: the box keeps its text
    ExpectSaved({{"AppName 3", ""},
                 {"AppName 2", "Gimp"},
                 {"AppPath 4", tool.toStdString()},
                 {"Auto", "0"},
                 {"Speed", "20"},
                 {"SettingLeft", "3000"},
                 {"SettingTop", "1800"}});
}

TEST_F(SettingsWindowTest, OddValuesWrittenByHandOpenTheWindowAndEscapeSavesToo) {
    const QByteArray longPath = "/very/long/" + QByteArray(5000, 'p');
    Program& p =
        start("AppPath%201=" + longPath + "\nAppName%201=\xc3\xa9t\xc3\xa9 & <b>bold</b>\n" +
              "Speed=-40\nAuto=7\nSettingLeft=1e30\nSettingTop=-77777\n");
    whenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
        auto* w = static_cast<SettingsWindow*>(modal);
        EXPECT_EQ(w->pathBox(1)->text().toUtf8(), longPath);  // shown whole, as typed
        EXPECT_EQ(w->nameBox(1)->text(), QString::fromUtf8("\xc3\xa9t\xc3\xa9 & <b>bold</b>"));
        EXPECT_EQ(w->speedSlider()->value(), SettingsWindow::kSpeedMin);
        EXPECT_FALSE(w->autoConnectBox()->isChecked());  // only 1 means on
        // Far outside every screen: placed where the user can see it.
        EXPECT_EQ(w->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        QTest::keyClick(w, Qt::Key_Escape);
    });
    p.settingsClicked();
    EXPECT_EQ(p.state().mouseSpeed, -40);  // the slider was not touched
    ExpectSaved({{"AppPath 1", longPath.toStdString()}, {"Auto", "0"}});
}

TEST(SettingsWindow, StartAtLoginWritesAndRemovesTheAutostartEntryASecondOpeningReturns) {
    test::shellApp();
    QTemporaryDir config;
    const auto restore = qScopeGuard([old = qgetenv("XDG_CONFIG_HOME")] {
        old.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", old);
    });
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString entry = config.filePath("autostart/zintor.desktop");
    QtDesktop desktop;
    // Opens the window, clicks the box and closes the window: whether it was checked before
    // and after the click.
    const auto clickOnce = [&desktop] {
        std::pair<bool, bool> checked;
        whenModalOpen("zintor::SettingsWindow", [&](QWidget* modal) {
            QCheckBox* box = static_cast<SettingsWindow*>(modal)->startAtLoginBox();
            checked.first = box->isChecked();
            SettingsForm other;  // a second opening while open returns at once
            other.appName[0] = "Inner";
            EXPECT_EQ(desktop.showSettings(other).appName[0], "Inner");
            box->click();  // returns when a message box it shows is closed
            checked.second = box->isChecked();
            modal->close();
        });
        desktop.showSettings({});
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

TEST(ProgramFileDialog, ProgramsAreExecutableFilesOtherExtensionsFilterAndAreAppended) {
    QTemporaryDir dir;
    auto make = [&](const char* name, bool executable) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                         (executable ? QFile::ExeOwner : QFile::Permissions()));
        return f.fileName();
    };
    QDir(dir.path()).mkdir("sub.d");

    // On Linux programs are the executable files, whatever their name.
    EXPECT_TRUE(programFileListed(make("runme", true), "exe"));
    EXPECT_FALSE(programFileListed(make("notes.txt", false), "exe"));
    EXPECT_FALSE(programFileListed(make("setup.exe", false), "exe"));
    EXPECT_TRUE(programFileListed(dir.filePath("sub.d"), "exe"));  // folders to walk into
    EXPECT_FALSE(programFileListed(dir.filePath("missing"), "exe"));
    EXPECT_EQ(completeChosenPath("/usr/bin/gimp", "exe"), "/usr/bin/gimp");

    EXPECT_TRUE(programFileListed(make("songs.M3U", false), "m3u"));
    EXPECT_FALSE(programFileListed(make("songs.txt", false), "m3u"));
    EXPECT_EQ(completeChosenPath("/x/list.M3U", "m3u"), "/x/list.M3U");
    EXPECT_EQ(completeChosenPath("/x/list", "m3u"), "/x/list.m3u");
    EXPECT_EQ(completeChosenPath("/x/my.m3u.files/run", "m3u"), "/x/my.m3u.files/run");
}

}  // namespace
}  // namespace zintor

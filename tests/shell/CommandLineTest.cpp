// The programs as a user starts them: a command line they cannot take, and a second zintor, which
// shows the settings window of the one that runs and ends (the real programs, on a private Xvfb).
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <fstream>

#include "PrivateXServer.h"
#include "QtTestSupport.h"

namespace zintor {
namespace {

struct Finished {
    int status = -1;
    QString out, err;
};

Finished run(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(CommandLine, WhatAProgramCannotTakeGivesTheUsageOnStandardErrorAndStatus2) {
    for (const QString program : {ZINTOR_PROGRAM, ZINTOR_PHONE_PROGRAM, ZINTOR_CHECK_PROGRAM}) {
        const Finished unknown = run(program, {"--frobnicate"});
        EXPECT_EQ(unknown.status, 2) << program.toStdString();
        EXPECT_EQ(unknown.out, "");
        EXPECT_TRUE(unknown.err.startsWith(QFileInfo(program).fileName() +
                                           ": unknown option --frobnicate\nUsage: "))
            << unknown.err.toStdString();
    }
}

TEST(SecondZintor, ShowsTheSettingsWindowOfTheOneThatRunsAndEndsWithStatus0) {
    testing::PrivateXServer xvfb;
    ASSERT_TRUE(xvfb.start() && !xvfb.shared());
    test::TempFolder home;
    QDir().mkpath(QString::fromStdString(home / "config/Zintor"));
    std::ofstream(home / "config/Zintor/Zintor4.ini") << "[Settings]\nAuto=0\n";  // no port
    QDir().mkpath(QString::fromStdString(home / "run"));
    QFile::setPermissions(QString::fromStdString(home / "run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : {std::pair{"HOME", home.path()},
                                      {"XDG_CONFIG_HOME", home / "config"},
                                      {"XDG_STATE_HOME", home / "state"},
                                      {"XDG_RUNTIME_DIR", home / "run"},
                                      {"DISPLAY", xvfb.display()},
                                      {"DBUS_SESSION_BUS_ADDRESS", std::string("disabled:")}}) {
        environment.insert(name, QString::fromStdString(value));
    }
    for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    // The settings window shown on the display (there is no window manager).
    const auto settingsShown = [&] {
        return run("xdotool", {"search", "--onlyvisible", "--name", "^Zintor - Settings$"},
                   environment)
                   .status == 0;
    };

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(ZINTOR_PROGRAM, {"-platform", "xcb"});  // Qt's options are taken
    const QDir run(QString::fromStdString(home / "run"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !run.entryList({"zintor-*"}, QDir::System).empty(); }, 20000))
        << first.readAllStandardError().toStdString();
    EXPECT_FALSE(settingsShown());

    const Finished second = ::zintor::run(ZINTOR_PROGRAM, {}, environment);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.err, "");  // nothing to tell: the window shows
    EXPECT_TRUE(QTest::qWaitFor(settingsShown, 10000));

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace zintor

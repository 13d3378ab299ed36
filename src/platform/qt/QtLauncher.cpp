#include "platform/qt/QtLauncher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <atomic>

namespace zintor {

namespace {
constexpr const char* kStartupIdVariable = "DESKTOP_STARTUP_ID";
}

LaunchResult QtLauncher::start(const std::string& path, bool minimizedNoFocus) {
    static std::atomic<int> launchCount{0};

    LaunchResult result;
    const QString program = QString::fromStdString(path);
    const QFileInfo info(program);
    if (!info.exists()) {
        result.error = "file not found";
        return result;
    }
    if (info.isDir()) {
        result.error = "is a folder, not a program";
        return result;
    }

    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments({});
    // Programs look for their own files beside them more often than in our folder.
    process.setWorkingDirectory(info.absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(kStartupIdVariable);
    if (minimizedNoFocus) {
        environment.insert(kStartupIdVariable, QStringLiteral("zintor-%1-%2_TIME0")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(++launchCount));
    }
    process.setProcessEnvironment(environment);

    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        result.error = process.errorString().toStdString();
        if (result.error.empty()) {
            result.error = "could not be started";
        }
        return result;
    }
    result.started = true;
    result.processId = static_cast<long>(pid);
    return result;
}

}  // namespace zintor

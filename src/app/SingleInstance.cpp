#include "SingleInstance.h"

#include <QDir>
#include <QMessageBox>
#include <cstdio>

namespace zintor::app {

namespace {

constexpr const char* kRunningAlready =
    "Zintor is running already: its icon is in the notification area.";

QString lockPath(const QString& configFolder) {
    QDir().mkpath(configFolder);  // a first start: the folder comes with the first settings
    return configFolder + "/zintor.lock";
}

}  // namespace

SingleInstance::SingleInstance(const QString& configFolder) : lock_(lockPath(configFolder)) {
    // Held for the whole run: only a lock whose process is gone counts as stale.
    lock_.setStaleLockTime(0);
    first_ = lock_.tryLock(0);
    if (!first_ && lock_.error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock (read-only, full): run rather than refuse to start.
        std::fprintf(stderr, "zintor: cannot lock %s; not checking for another Zintor\n",
                     qPrintable(lock_.fileName()));
        first_ = true;
    }
}

void SingleInstance::tellRunningAlready(bool headless) {
    std::fprintf(stderr, "zintor: %s\n", kRunningAlready);
    if (!headless) {
        QMessageBox::information(nullptr, "Zintor", kRunningAlready);
    }
}

}  // namespace zintor::app

#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>

namespace zintor::app {

namespace {

constexpr const char* kRunningAlready =
    "Zintor is running already: its icon is in the notification area.";
constexpr const char* kRunningHeadless =
    "Zintor is running already, without a display: it has no windows to show.";
const QByteArray kAsk = "settings\n";
const QByteArray kShown = "shown\n";
const QByteArray kNoWindows = "no windows\n";
constexpr int kAnswerMs = 3000;

QString lockPath(const QString& configFolder) {
    QDir().mkpath(configFolder);  // a first start: the folder comes with the first settings
    return configFolder + "/zintor.lock";
}

}  // namespace

QString SingleInstance::socketPath(const QString& configFolder) {
    // Named after the configuration, as the lock is; in the user's own runtime folder, which no
    // other user can enter.
    const QByteArray folder = QFileInfo(configFolder).absoluteFilePath().toUtf8();
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/zintor-" +
           QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
}

SingleInstance::SingleInstance(const QString& configFolder)
    : lock_(lockPath(configFolder)), socketPath_(socketPath(configFolder)) {
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

SingleInstance::~SingleInstance() = default;

void SingleInstance::serve(std::function<bool()> showSettings) {
    showSettings_ = std::move(showSettings);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket still there belongs to a Zintor that is gone.
    if (!server_->listen(socketPath_)) {
        QLocalServer::removeServer(socketPath_);
        if (!server_->listen(socketPath_)) {
            std::fprintf(stderr,
                         "zintor: cannot listen on %s (%s); a second start will only say "
                         "that Zintor is running\n",
                         qPrintable(socketPath_), qPrintable(server_->errorString()));
            return;
        }
    }
    QObject::connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QLocalSocket::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kAsk.size()) {
                        socket->abort();  // not a Zintor
                    }
                    return;
                }
                const bool asked = socket->readLine() == kAsk;
                socket->write(asked && showSettings_() ? kShown : kNoWindows);
                socket->disconnectFromServer();  // once the answer is out
            });
        }
    });
}

void SingleInstance::askFirst(bool headless) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    QByteArray answer;
    if (socket.waitForConnected(kAnswerMs) && socket.write(kAsk) == kAsk.size() &&
        socket.waitForBytesWritten(kAnswerMs)) {
        while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerMs)) {
        }
        answer = socket.readLine();
    }
    if (answer == kShown) {
        return;
    }
    const char* told = answer == kNoWindows ? kRunningHeadless : kRunningAlready;
    std::fprintf(stderr, "zintor: %s\n", told);
    if (!headless) {
        QMessageBox::information(nullptr, "Zintor", told);
    }
}

}  // namespace zintor::app

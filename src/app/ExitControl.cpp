#include "app/ExitControl.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>

namespace zintor::app {
namespace {

int signalPipe[2] = {-1, -1};

void handleSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

namespace {
// The phone answers in well under a second; a shutdown that still waits after this gives up.
constexpr int kLongestShutdownMs = 5000;
}  // namespace

ExitControl::ExitControl(std::function<void(std::function<void()>)> shutdown,
                         std::function<void()> shutdownNow)
    : shutdown_(std::move(shutdown)), shutdownNow_(std::move(shutdownNow)) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { onSignal(); });
        struct sigaction action {};
        action.sa_handler = handleSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    } else {
        std::perror("zintor: signal pipe");
    }
    // A peer that went away (X server, D-Bus, a pseudo-terminal) shows as a failed write, which
    // every adapter handles; it must not kill the program.
    std::signal(SIGPIPE, SIG_IGN);
    // The desktop session ends: save while we still may.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { requestExit(); });
    }
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { shutdownNow_(); });
}

ExitControl::~ExitControl() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete notifier_;
    notifier_ = nullptr;
    for (int& fd : signalPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void ExitControl::onSignal() {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    requestExit();
}

void ExitControl::requestExit() {
    if (exitRequested_ || !mainLoopRunning_) {
        // Asked again while the shutdown waits for the phone, or before the loop runs.
        shutdownNow_();
        leave();
        return;
    }
    exitRequested_ = true;
    QTimer::singleShot(kLongestShutdownMs, this, [this] {
        shutdownNow_();
        leave();
    });
    shutdown_([this] { leave(); });
}

void ExitControl::leave() {
    if (mainLoopRunning_) {
        QCoreApplication::quit();
        return;
    }
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace zintor::app

#include "ShellTestApp.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <memory>

// Fontconfig and the X11 client libraries keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libX11\nleak:libxcb\nleak:libdbus\n";
}

namespace zintor::test {

QApplication& ShellApp() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "zintor-shell-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);  // lives as long as the process
    }();
    return *app;
}

void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RunEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void WhenModalOpen(const char* className, std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, className, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className)) {
            poll->deleteLater();
            poll->stop();
            action(modal);
        } else if (++*tries > 500) {
            poll->deleteLater();
            poll->stop();
        }
    });
    poll->start(10);
}

}  // namespace zintor::test

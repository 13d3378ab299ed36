#include "ShellTestApp.h"

#include <QTimer>
#include <QWidget>

// Fontconfig and the X11 client libraries keep caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libX11\nleak:libxcb\nleak:libdbus\n";
}

namespace zintor::test {

QApplication& shellApp() {
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

void whenModalOpen(const char* className, std::function<void(QWidget*)> action, int tries) {
    QTimer::singleShot(10, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className)) {
            action(modal);
        } else if (tries < 500) {
            whenModalOpen(className, action, tries + 1);
        }
    });
}

}  // namespace zintor::test

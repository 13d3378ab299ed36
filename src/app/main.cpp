// zintor: the phone on a serial line as a remote control for this PC.

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>

#include "app/Adapters.h"
#include "app/CommandLine.h"
#include "app/ExitControl.h"
#include "app/SingleInstance.h"
#include "core/link/Link.h"
#include "core/program/Program.h"

namespace {

// Without a display the program still runs, with no windows and no tray.
bool prepareForNoDisplay() {
    const bool display =
        std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    return !display;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = zintor::app::answerCommandLine(argc, argv)) {
        return *status;
    }
    const bool noDisplay = prepareForNoDisplay();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Zintor");
    QApplication::setQuitOnLastWindowClosed(false);
    const QString platform = QGuiApplication::platformName();
    const bool headless = noDisplay || platform == "offscreen" || platform == "minimal";
    zintor::app::SingleInstance instance(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Zintor");
    if (!instance.isFirst()) {
        instance.askFirst(headless);
        return 0;
    }

    zintor::app::Adapters adapters(headless);
    zintor::Program program(adapters.ports());
    zintor::app::ExitControl exit(
        [&program](std::function<void()> then) { program.shutdown(std::move(then)); },
        [&program] { program.shutdownNow(); });
    program.onExitRequested = [&exit] { exit.requestExit(); };
    adapters.setLog([&program](const std::string& line) { program.link().log.write(line); });
    // A second start: the settings window, as the tray menu opens it.
    instance.serve([&program, headless] {
        if (!headless) {
            QTimer::singleShot(0, qApp, [&program] { program.settingsClicked(); });
        }
        return !headless;
    });

    program.startup();
    if (!adapters.inputDescription().empty()) {
        program.link().log.write(adapters.inputDescription());
    }
    exit.mainLoopStarted();
    return QApplication::exec();
}

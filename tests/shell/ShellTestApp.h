#pragma once

#include <QApplication>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zintor::test {

// The one QApplication of a test process, on Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise. A fixture puts a WithApp first among its members, so it exists before any window.
QApplication& shellApp();
struct WithApp {
    WithApp() { shellApp(); }
};

// Runs `action` from the event loop as soon as a modal dialog of class `className` is open (for
// driving modal windows from a test). Gives up after a few seconds.
void whenModalOpen(const char* className, std::function<void(QWidget*)> action, int tries = 0);

// Records the desktop's reports as words ("keyHelpClosed", "portChosen 2").
class RecordingEvents : public DesktopEvents {
  public:
    void connectClicked() override { calls.push_back("connect"); }
    void portChosen(int index) override { calls.push_back("portChosen " + std::to_string(index)); }
    void autoConnectClicked() override { calls.push_back("autoConnect"); }
    void settingsClicked() override { calls.push_back("settings"); }
    void exitClicked() override { calls.push_back("exit"); }
    void refreshPortsClicked() override { calls.push_back("refreshPorts"); }
    void enumeratePortsClicked() override { calls.push_back("enumeratePorts"); }
    void playerCheckClicked() override { calls.push_back("playerCheck"); }
    void mouseSpeedChanged(int) override {}  // the slider acts on the program: QtDesktopTest
    void keyHelpClosed() override { calls.push_back("keyHelpClosed"); }
    void noticeClosed() override { calls.push_back("noticeClosed"); }

    std::vector<std::string> calls;
};

}  // namespace zintor::test

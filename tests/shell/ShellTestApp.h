#pragma once

#include <QApplication>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ports/Desktop.h"

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zintor::test {

// The one QApplication of a test process. Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise.
QApplication& ShellApp();

// Put first among a fixture's members: the application exists before any window.
struct WithApp {
    WithApp() { ShellApp(); }
};

// Runs the Qt event loop for `ms` milliseconds of real time.
void RunEventsFor(int ms);
// Runs the Qt event loop until `done` holds or `timeoutMs` has passed; returns `done()`.
bool RunEventsUntil(const std::function<bool()>& done, int timeoutMs);

// Runs `action` from the event loop as soon as a modal dialog of class T is open (for driving
// modal windows from a test). Gives up after a few seconds.
void WhenModalOpen(const char* className, std::function<void(QWidget*)> action);

// Records the desktop's reports as words ("keyHelpClosed", "portChosen 2", "mouseSpeed 12").
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
    void mouseSpeedChanged(int speed) override {
        calls.push_back("mouseSpeed " + std::to_string(speed));
    }
    void keyHelpClosed() override { calls.push_back("keyHelpClosed"); }
    void noticeClosed() override { calls.push_back("noticeClosed"); }

    std::vector<std::string> calls;
};

}  // namespace zintor::test

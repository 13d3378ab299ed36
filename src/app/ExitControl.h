#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace zintor::app {

// Ends the program the same way whatever asks for it: SIGINT, SIGTERM, the desktop session
// ending, or the program itself (Exit in the tray menu). The shutdown runs exactly once, then
// the process exits with status 0.
//
// Signals reach the event loop through a self-pipe, so the shutdown runs as an ordinary event
// handler. When the request comes while the program is inside one of its waits or pumps
// (start-up's automatic connection, a command waiting for its answer, a held key's loop),
// unwinding would let the interrupted code go on after the shutdown (try the next port, keep
// moving the cursor); the process then ends right there instead.
class ExitControl : public QObject {
  public:
    // `shutdown` runs the program's shutdown sequence (it must do nothing when called again);
    // `waitDepth` tells how many waits or pumps of the event loop are running.
    ExitControl(std::function<void()> shutdown, std::function<int()> waitDepth);
    ~ExitControl() override;

    // Shutdown (if not done yet) and leave.
    void requestExit();
    // The main loop is about to run: leaving can return from it from now on.
    void mainLoopStarted() { mainLoopRunning_ = true; }

  private:
    void onSignal();

    std::function<void()> shutdown_;
    std::function<int()> waitDepth_;
    QSocketNotifier* notifier_ = nullptr;
    bool mainLoopRunning_ = false;
};

}  // namespace zintor::app

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
// handler. The shutdown waits for the phone's answers to its last commands, a few seconds at
// most; a second request, or the loop ending first, ends it without waiting any longer.
class ExitControl : public QObject {
  public:
    // `shutdown` starts the program's shutdown sequence and runs its argument when the sequence
    // has ended (at once if it had); `shutdownNow` ends it without waiting for the phone.
    ExitControl(std::function<void(std::function<void()>)> shutdown,
                std::function<void()> shutdownNow);
    ~ExitControl() override;

    // Shutdown (if not done yet) and leave.
    void requestExit();
    // The main loop is about to run: leaving can return from it from now on.
    void mainLoopStarted() { mainLoopRunning_ = true; }

  private:
    void onSignal();
    void leave();

    std::function<void(std::function<void()>)> shutdown_;
    std::function<void()> shutdownNow_;
    QSocketNotifier* notifier_ = nullptr;
    bool mainLoopRunning_ = false;
    bool exitRequested_ = false;
};

}  // namespace zintor::app

#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "InputRecorder.h"
#include "PrivateSway.h"
#include "PrivateXServer.h"
#include "PtyPhone.h"
#include "WaylandRecorder.h"
#include "ZintorProcess.h"

namespace zintor::bench {

// The real zintor program on a private Xvfb (or a headless sway), driven by a phone on a
// pseudo-terminal, with a recording X (or Wayland) client beside it: everything a key-control
// benchmark needs, set up up to the point where the phone is in "Move Mouse" mode and reports its
// keys.
class KeyControlRig {
  public:
    KeyControlRig() = default;
    ~KeyControlRig();
    KeyControlRig(const KeyControlRig&) = delete;
    KeyControlRig& operator=(const KeyControlRig&) = delete;

    // Starts the X server, the recorder, the phone and the program (with `keyMap` as the user's
    // KeyMap.xml and `settings` as its [Settings] lines), waits for the connection and the main
    // menu, then chooses "Move Mouse". False, with a message on standard error, when any of it
    // fails.
    bool start(const std::string& keyMap, const std::string& settings);
    // The same on a private headless sway, without any X server.
    bool startOnWayland(const std::string& keyMap, const std::string& settings);

    phone::PtyPhone& phone() { return phone_; }
    testing::InputRecorder& recorder() { return *recorder_; }
    testing::WaylandRecorder& waylandRecorder() { return *waylandRecorder_; }
    bool onWayland() const { return waylandRecorder_ != nullptr; }
    const testing::PrivateXServer& server() const { return server_; }
    const testing::PrivateSway& sway() const { return sway_; }
    pid_t pid() const { return zintor_.pid(); }
    // A phone key line: "+CKEV: <code>,1" for a press, ",0" for a release, with CR LF.
    static std::string keyLine(const std::string& code, bool pressed);

    // CPU time (all threads, user and system) the program has used so far, in milliseconds.
    double cpuMs() const;

    // Returns once the program's start-up is over: on a desktop without a tray (as here) it waits
    // 5 s for one before it shows its window, a one-off cost that a steady-state figure must not
    // include.
    void waitOutStartUp() const;

  private:
    bool fail(const std::string& what);
    bool startProgram(const std::string& keyMap, const std::string& settings);

    testing::PrivateXServer server_;
    std::unique_ptr<testing::InputRecorder> recorder_;
    testing::PrivateSway sway_;
    std::unique_ptr<testing::WaylandRecorder> waylandRecorder_;
    phone::PtyPhone phone_;
    test::ZintorProcess zintor_;
    std::chrono::steady_clock::time_point started_;
};

// The machine's load average over 1, 5 and 15 minutes, as /proc/loadavg gives it.
std::string loadAverage();

// The value at `fraction` (0..1) of the sorted values (nearest rank).
double percentile(std::vector<double> values, double fraction);

}  // namespace zintor::bench

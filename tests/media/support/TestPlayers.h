#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"

namespace zintor::testing {

// Polls `done` every 20 ms until it holds or `limit` has passed; its last answer.
bool eventually(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(5));

// Audacious started headless on the test's bus, playing into the test's PulseAudio, with a
// configuration folder of its own (so no playlist of an earlier run comes back).
class TestAudacious {
  public:
    TestAudacious(const PrivateSessionBus& bus, const PrivatePulseServer& pulse)
        : bus_(bus), pulse_(pulse) {}
    static bool installed();
    // Starts it and waits until it answers on the bus.
    bool start();
    void stop() { process_.stop(); }
    bool running() { return process_.running(); }
    // Runs audtool against it; its output without the final line end.
    std::string audtool(const std::string& arguments) const;
    // Adds the files as the playlist and plays the first one.
    void playFiles(const std::vector<std::string>& paths);
    int processId() const { return process_.pid(); }

  private:
    const PrivateSessionBus& bus_;
    const PrivatePulseServer& pulse_;
    ChildProcess process_;
    static inline int runs_ = 0;  // every run gets a folder of its own
};

// A player with an MPRIS interface on the test's bus, without sound output, observed with
// playerctl: mpv with its MPRIS plugin, or VLC with its D-Bus control.
class TestMprisPlayer {
  public:
    TestMprisPlayer(const PrivateSessionBus& bus, std::string name)
        : bus_(bus), name_(std::move(name)) {}
    void stop() { process_.stop(); }
    bool running() { return process_.running(); }
    // Runs playerctl against it; its output without the final line end.
    std::string playerctl(const std::string& arguments) const;

  protected:
    // Starts `argv` with a home folder of its own and waits until it plays.
    bool launch(const std::vector<std::string>& argv);

    const PrivateSessionBus& bus_;

  private:
    std::string name_;
    ChildProcess process_;
};

class TestMpv : public TestMprisPlayer {
  public:
    explicit TestMpv(const PrivateSessionBus& bus) : TestMprisPlayer(bus, "mpv") {}
    // The MPRIS plugin of the mpv-mpris package, or "" when it is not installed.
    static std::string plugin();
    bool start(const std::vector<std::string>& paths);
};

// VLC refuses to run as root: under root it runs as the user "nobody", and the bus folder (the
// socket, the tone files) is opened for passing through.
class TestVlc : public TestMprisPlayer {
  public:
    explicit TestVlc(const PrivateSessionBus& bus) : TestMprisPlayer(bus, "vlc") {}
    // VLC and its D-Bus control module (package vlc-plugin-base) are there.
    static bool installed();
    bool start(const std::vector<std::string>& paths);
};

}  // namespace zintor::testing

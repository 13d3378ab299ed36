#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"

namespace zintor::testing {

// Audacious started headless on the test's bus, playing into the test's PulseAudio, with a
// configuration folder of its own (so no playlist of an earlier run comes back). Each player's
// start() fails, after a wait, when the player or the tool the test observes it with is missing.
class TestAudacious {
  public:
    TestAudacious(const PrivateSessionBus& bus, const PrivatePulseServer& pulse)
        : bus_(bus), pulse_(pulse) {}
    // Starts it and waits until it answers on the bus.
    bool start();
    void stop() { process_.stop(); }
    bool running() { return process_.running(); }
    // Runs audtool against it; its output without the final line end.
    std::string audtool(const std::string& arguments) const;
    int processId() const { return process_.pid(); }

  private:
    const PrivateSessionBus& bus_;
    const PrivatePulseServer& pulse_;
    ChildProcess process_;
    static inline int runs_ = 0;  // every run gets a folder of its own
};

// A player with an MPRIS interface on the test's bus, without sound output, observed with
// playerctl: mpv with its MPRIS plugin (package mpv-mpris), or VLC with its D-Bus control
// (vlc-plugin-base).
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
    bool start(const std::vector<std::string>& paths);
};

// VLC refuses to run as root: under root it runs as the user "nobody", and the bus folder (the
// socket, the tone files) is opened for passing through.
class TestVlc : public TestMprisPlayer {
  public:
    explicit TestVlc(const PrivateSessionBus& bus) : TestMprisPlayer(bus, "vlc") {}
    bool start(const std::vector<std::string>& paths);
};

}  // namespace zintor::testing

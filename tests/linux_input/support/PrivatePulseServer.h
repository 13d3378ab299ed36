#pragma once

#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// A PulseAudio daemon of the test's own, in a temporary runtime folder, with one null sink
// "zintor_test" as its default sink. Nothing of the user's session is touched.
class PrivatePulseServer {
  public:
    PrivatePulseServer();
    ~PrivatePulseServer();

    static bool installed() {
        return !ChildProcess::find("pulseaudio").empty() && !ChildProcess::find("pactl").empty();
    }
    // Starts the daemon (again) and waits until it takes clients.
    bool start();
    void stop() { daemon_.stop(); }

    // The server address for clients, "unix:<folder>/native"; it stays the same across restarts.
    const std::string& server() const { return server_; }
    // Runs pactl against this server; its output.
    std::string pactl(const std::string& arguments) const {
        return ChildProcess::output("pactl -s " + server_ + " " + arguments + " 2>&1");
    }
    std::string log() const { return ChildProcess::readFile(folder_ + "/daemon.log"); }

  private:
    std::string folder_;
    std::string server_;
    ChildProcess daemon_;
};

}  // namespace zintor::testing

#pragma once

#include <string>
#include <vector>

#include "ChildProcess.h"

namespace zintor::testing {

// A PulseAudio daemon of the test's own, in a temporary runtime folder, with one null sink
// "zintor_test" as its default sink. Nothing of the user's session is touched.
class PrivatePulseServer {
  public:
    PrivatePulseServer();
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    static bool installed();
    // Starts the daemon (again) and waits until it takes clients.
    bool start();
    void stop();

    // The server address for clients, "unix:<folder>/native"; it stays the same across restarts.
    const std::string& server() const { return server_; }
    // Runs pactl against this server; its standard output.
    std::string pactl(const std::string& arguments) const;
    // The per-channel volumes of a sink as pactl reports them (PulseAudio units, 65536 = 100%).
    std::vector<unsigned> sinkVolumes(const std::string& sink = "@DEFAULT_SINK@") const;
    // What the daemon wrote, for failure messages.
    std::string log() const { return ChildProcess::readFile(folder_ + "/daemon.log"); }

  private:
    std::string folder_;
    std::string socket_;
    std::string server_;
    ChildProcess daemon_;
};

}  // namespace zintor::testing

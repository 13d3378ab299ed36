#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// A PulseAudio daemon of the test's own, in a temporary runtime folder, with one null sink
// "zintor_test" as its default sink. Nothing of the user's session is touched.
class PrivatePulseServer {
  public:
    static bool installed() {
        return !ChildProcess::find("pulseaudio").empty() && !ChildProcess::find("pactl").empty();
    }
    // Starts the daemon (again) and waits until it takes clients.
    bool start() {
        std::filesystem::create_directories(path("/runtime"));
        return daemon_.start(
                   {"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                    "--use-pid-file=no", "--system=false", "--disallow-exit", "--log-target=stderr",
                    "--load=module-null-sink sink_name=zintor_test",
                    "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                        path("/native")},
                   {{"HOME", path("")},
                    {"XDG_RUNTIME_DIR", path("/runtime")},
                    {"XDG_CONFIG_HOME", path("/config")},
                    {"XDG_STATE_HOME", path("/state")},
                    {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
                    {"DISPLAY", ""}},
                   path("/daemon.log")) &&
               daemon_.waitUntilListening(path("/native"));
    }
    void stop() { daemon_.stop(); }

    // The server address for clients; it stays the same across restarts.
    std::string server() const { return "unix:" + path("/native"); }
    // Runs pactl against this server; its output.
    std::string pactl(const std::string& arguments) const {
        return ChildProcess::output("pactl -s " + server() + " " + arguments + " 2>&1");
    }
    std::string log() const { return ChildProcess::readFile(path("/daemon.log")); }

  private:
    std::string path(const char* name) const { return folder_.path().toStdString() + name; }

    QTemporaryDir folder_{"/tmp/zintor-pulse-XXXXXX"};
    ChildProcess daemon_;  // ended before its folder goes
};

}  // namespace zintor::testing

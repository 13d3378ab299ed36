#include "PrivatePulseServer.h"

#include <cstdlib>
#include <filesystem>
#include <regex>

#include <unistd.h>

namespace zintor::testing {

PrivatePulseServer::PrivatePulseServer() {
    char folder[] = "/tmp/zintor-pulse-XXXXXX";
    if (mkdtemp(folder) != nullptr) {
        folder_ = folder;
        socket_ = folder_ + "/native";
        server_ = "unix:" + socket_;
        std::filesystem::create_directories(folder_ + "/runtime");
        std::filesystem::create_directories(folder_ + "/home");
    }
}

PrivatePulseServer::~PrivatePulseServer() {
    stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool PrivatePulseServer::installed() {
    return !ChildProcess::find("pulseaudio").empty() && !ChildProcess::find("pactl").empty();
}

bool PrivatePulseServer::start() {
    if (folder_.empty()) {
        return false;
    }
    const ChildProcess::Environment environment{{"HOME", folder_ + "/home"},
                                                {"XDG_RUNTIME_DIR", folder_ + "/runtime"},
                                                {"XDG_CONFIG_HOME", folder_ + "/home/.config"},
                                                {"XDG_STATE_HOME", folder_ + "/home/.state"},
                                                {"PULSE_RUNTIME_PATH", folder_ + "/runtime/pulse"},
                                                {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
                                                {"DISPLAY", ""}};
    if (daemon_.start({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                       "--use-pid-file=no", "--system=false", "--disallow-exit",
                       "--log-target=stderr", "--load=module-null-sink sink_name=zintor_test",
                       "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
                      environment, folder_ + "/daemon.log") &&
        daemon_.waitUntilListening(socket_)) {
        return true;
    }
    daemon_.stop();
    return false;
}

void PrivatePulseServer::stop() {
    daemon_.stop();
}

std::string PrivatePulseServer::pactl(const std::string& arguments) const {
    return ChildProcess::output("pactl -s " + server_ + " " + arguments + " 2>&1");
}

std::vector<unsigned> PrivatePulseServer::sinkVolumes(const std::string& sink) const {
    // "Volume: front-left: 65536 / 100% / 0.00 dB,   front-right: 65536 / 100% / 0.00 dB"
    const std::string text = pactl("get-sink-volume " + sink);
    const std::string firstLine = text.substr(0, text.find('\n'));
    static const std::regex channel(R"(: (\d+) /)");
    std::vector<unsigned> volumes;
    for (auto it = std::sregex_iterator(firstLine.begin(), firstLine.end(), channel);
         it != std::sregex_iterator(); ++it) {
        volumes.push_back(static_cast<unsigned>(std::stoul((*it)[1].str())));
    }
    return volumes;
}

}  // namespace zintor::testing

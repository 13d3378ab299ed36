#include "PrivatePulseServer.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zintor::testing {

namespace {

bool accepts(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

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
    const ChildProcess::Environment environment{
        {"HOME", folder_ + "/home"},
        {"XDG_RUNTIME_DIR", folder_ + "/runtime"},
        {"XDG_CONFIG_HOME", folder_ + "/home/.config"},
        {"XDG_STATE_HOME", folder_ + "/home/.state"},
        {"PULSE_RUNTIME_PATH", folder_ + "/runtime/pulse"},
        {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
        {"DISPLAY", ""},
    };
    const std::vector<std::string> argv{
        "pulseaudio",
        "--daemonize=no",
        "--exit-idle-time=-1",
        "-n",
        "--use-pid-file=no",
        "--system=false",
        "--disallow-exit",
        "--log-target=stderr",
        "--load=module-null-sink sink_name=zintor_test",
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_};
    if (!daemon_.start(argv, environment, folder_ + "/daemon.log")) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && daemon_.running()) {
        if (accepts(socket_)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
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

std::string PrivatePulseServer::log() const {
    std::ifstream file(folder_ + "/daemon.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace zintor::testing

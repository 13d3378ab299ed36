#include "PrivatePulseServer.h"

#include <cstdlib>
#include <filesystem>

namespace zintor::testing {

PrivatePulseServer::PrivatePulseServer() {
    char folder[] = "/tmp/zintor-pulse-XXXXXX";
    if (mkdtemp(folder) != nullptr) {
        folder_ = folder;
        server_ = "unix:" + folder_ + "/native";
        std::filesystem::create_directories(folder_ + "/runtime");
    }
}

PrivatePulseServer::~PrivatePulseServer() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool PrivatePulseServer::start() {
    const ChildProcess::Environment environment{{"HOME", folder_},
                                                {"XDG_RUNTIME_DIR", folder_ + "/runtime"},
                                                {"XDG_CONFIG_HOME", folder_ + "/config"},
                                                {"XDG_STATE_HOME", folder_ + "/state"},
                                                {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
                                                {"DISPLAY", ""}};
    if (!folder_.empty() &&
        daemon_.start(
            {"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
             "--system=false", "--disallow-exit", "--log-target=stderr",
             "--load=module-null-sink sink_name=zintor_test",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + server_.substr(5)},
            environment, folder_ + "/daemon.log") &&
        daemon_.waitUntilListening(server_.substr(5))) {
        return true;
    }
    daemon_.stop();
    return false;
}

}  // namespace zintor::testing

#include "PrivateSessionBus.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace zintor::testing {

PrivateSessionBus::PrivateSessionBus() {
    char folder[] = "/tmp/zintor-bus-XXXXXX";
    if (mkdtemp(folder) != nullptr) {
        folder_ = folder;
        socket_ = folder_ + "/bus";
        address_ = "unix:path=" + socket_;
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    daemon_.stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool PrivateSessionBus::installed() {
    return !ChildProcess::find("dbus-daemon").empty();
}

bool PrivateSessionBus::start() {
    if (folder_.empty()) {
        return false;
    }
    // The session bus's own configuration, with clients of any user id let in: a player that
    // refuses to run as root (VLC) joins under another user id when the tests run as root.
    const std::string config = folder_ + "/bus.conf";
    std::ofstream(config) << R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><include>/usr/share/dbus-1/session.conf</include>
  <policy context="default"><allow user="*"/></policy></busconfig>
)";
    return daemon_.start({"dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile",
                          "--address=" + address_},
                         {}, folder_ + "/daemon.log") &&
           daemon_.waitUntilListening(socket_);
}

}  // namespace zintor::testing

#include "PrivateSessionBus.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zintor::testing {

namespace {

// The session bus's own configuration, with clients of any user id let in: a player that refuses
// to run as root (VLC) joins under another user id when the tests run as root.
bool WriteConfig(const std::string& path) {
    const std::string session = "/usr/share/dbus-1/session.conf";
    if (!std::filesystem::exists(session)) {
        return false;
    }
    const std::string config =
        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
        "<busconfig>\n"
        "  <include>" +
        session +
        "</include>\n"
        "  <policy context=\"default\"><allow user=\"*\"/></policy>\n"
        "</busconfig>\n";
    std::ofstream out(path);
    out << config;
    return static_cast<bool>(out);
}

}  // namespace

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
    const std::string config = folder_ + "/bus.conf";
    const std::string configOption =
        WriteConfig(config) ? "--config-file=" + config : std::string("--session");
    if (!daemon_.start(
            {"dbus-daemon", configOption, "--nofork", "--nopidfile", "--address=" + address_}, {},
            folder_ + "/daemon.log")) {
        return false;
    }
    return daemon_.waitUntilListening(socket_);
}

}  // namespace zintor::testing

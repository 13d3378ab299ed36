#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

#include "ChildProcess.h"

namespace zintor::testing {

// A D-Bus session bus of the test's own (dbus-daemon on a socket in a temporary folder), so that
// players started by the test and the adapters under test meet nobody else.
class PrivateSessionBus {
  public:
    ~PrivateSessionBus() {
        std::error_code ignored;  // names that are no UTF-8 too, which Qt's removal skips
        std::filesystem::remove_all(folder(), ignored);
    }
    static bool installed() { return !ChildProcess::find("dbus-daemon").empty(); }
    // Starts the daemon and waits until it takes clients.
    bool start() {
        // The session bus's own configuration, with clients of any user id let in: a player that
        // refuses to run as root (VLC) joins under another user id when the tests run as root.
        std::ofstream(folder() + "/bus.conf") << R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><include>/usr/share/dbus-1/session.conf</include>
  <policy context="default"><allow user="*"/></policy></busconfig>
)";
        return daemon_.start({"dbus-daemon", "--config-file=" + folder() + "/bus.conf", "--nofork",
                              "--nopidfile", "--address=" + address()},
                             {}, folder() + "/daemon.log") &&
               daemon_.waitUntilListening(folder() + "/bus");
    }

    // "unix:path=<folder>/bus", for DBUS_SESSION_BUS_ADDRESS.
    std::string address() const { return "unix:path=" + folder() + "/bus"; }
    // A temporary folder that lives as long as the bus, for the players' files.
    std::string folder() const { return folder_.path().toStdString(); }

  private:
    QTemporaryDir folder_{"/tmp/zintor-bus-XXXXXX"};
    ChildProcess daemon_;  // ended before its folder goes
};

}  // namespace zintor::testing

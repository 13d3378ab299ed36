#pragma once

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"
#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"

namespace zintor::testing {

// A home folder of its own under the bus folder, the test's bus and no display.
inline ChildProcess::Environment isolated(const PrivateSessionBus& bus, const std::string& home) {
    std::filesystem::create_directories(home);
    return {{"HOME", home},
            {"XDG_CONFIG_HOME", home + "/config"},
            {"XDG_DATA_HOME", home + "/data"},
            {"XDG_CACHE_HOME", home + "/cache"},
            {"XDG_RUNTIME_DIR", home},
            {"DBUS_SESSION_BUS_ADDRESS", bus.address()},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""}};
}

// Runs `tool` on the test's bus; its output without the final line end.
inline std::string runOnBus(const PrivateSessionBus& bus, const std::string& tool) {
    std::string text = ChildProcess::output("DBUS_SESSION_BUS_ADDRESS='" + bus.address() + "' " +
                                            tool + " 2>/dev/null");
    return text.erase(text.find_last_not_of("\r\n") + 1);
}

// Audacious started headless on the test's bus, playing into the test's PulseAudio, with a
// configuration folder of its own (so no playlist of an earlier run comes back). Each player's
// start() fails, after a wait, when the player or the tool the test observes it with is missing.
class TestAudacious {
  public:
    TestAudacious(const PrivateSessionBus& bus, const PrivatePulseServer& pulse)
        : bus_(bus), pulse_(pulse) {}
    // Starts it and waits until it answers on the bus.
    bool start() {
        const std::string home = bus_.folder() + "/audacious-" + std::to_string(++runs_);
        ChildProcess::Environment environment = isolated(bus_, home);
        environment.emplace_back("PULSE_SERVER", pulse_.server());
        return process_.start({"audacious", "-H"}, environment, home + "/audacious.log") &&
               ChildProcess::eventually(
                   [this] { return audtool("version").rfind("Audacious", 0) == 0; });
    }
    void stop() { process_.stop(); }
    bool running() { return process_.running(); }
    std::string audtool(const std::string& arguments) const {
        return runOnBus(bus_, "audtool " + arguments);
    }
    int processId() const { return process_.pid(); }

  private:
    const PrivateSessionBus& bus_;
    const PrivatePulseServer& pulse_;
    ChildProcess process_;
    static inline int runs_ = 0;  // every run gets a folder of its own
};

// A player with an MPRIS interface on the test's bus, without sound output, observed with
// playerctl: "mpv" with its MPRIS plugin (package mpv-mpris), or "vlc" with its D-Bus control
// (vlc-plugin-base). VLC refuses to run as root: under root it runs as the user "nobody", and the
// bus folder (the socket, the tone files) is opened for passing through.
class TestMprisPlayer {
  public:
    TestMprisPlayer(const PrivateSessionBus& bus, std::string name)
        : bus_(bus), name_(std::move(name)) {}
    // Starts it on `paths` with a home folder of its own and waits until it plays.
    bool start(const std::vector<std::string>& paths) {
        const std::string home = bus_.folder() + "/" + name_;
        const ChildProcess::Environment environment = isolated(bus_, home);
        std::vector<std::string> argv;
        if (name_ == "mpv") {
            argv = {"mpv", "--script=/usr/lib/mpv-mpris/mpris.so", "--idle=yes", "--no-config"};
            argv.insert(argv.end(), {"--no-terminal", "--ao=null", "--vo=null"});
        } else if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (nobody == nullptr || chown(home.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                return false;
            }
            std::filesystem::permissions(bus_.folder(), std::filesystem::perms::others_exec,
                                         std::filesystem::perm_options::add);
            argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                    "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
        }
        if (name_ == "vlc") {
            argv.insert(argv.end(), {"vlc", "--intf=dummy", "--control=dbus", "--aout=adummy",
                                     "--no-video", "--no-one-instance"});
        }
        argv.insert(argv.end(), paths.begin(), paths.end());
        return process_.start(argv, environment, home + "/" + name_ + ".log") &&
               ChildProcess::eventually([this] { return playerctl("status") == "Playing"; });
    }
    void stop() { process_.stop(); }
    bool running() { return process_.running(); }
    std::string playerctl(const std::string& arguments) const {
        return runOnBus(bus_, "playerctl -p " + name_ + " " + arguments);
    }

  private:
    const PrivateSessionBus& bus_;
    std::string name_;
    ChildProcess process_;
};

}  // namespace zintor::testing

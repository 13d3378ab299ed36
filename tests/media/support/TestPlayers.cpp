#include "TestPlayers.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>

namespace zintor::testing {

namespace {

const std::string kMpvPlugin = "/usr/lib/mpv-mpris/mpris.so";  // Debian's mpv-mpris

// A home folder of its own under the bus folder, the test's bus and no display.
ChildProcess::Environment isolated(const PrivateSessionBus& bus, const std::string& home) {
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
std::string runOnBus(const PrivateSessionBus& bus, const std::string& tool) {
    std::string text = ChildProcess::output("DBUS_SESSION_BUS_ADDRESS='" + bus.address() + "' " +
                                            tool + " 2>/dev/null");
    return text.erase(text.find_last_not_of("\r\n") + 1);
}

}  // namespace

bool TestAudacious::start() {
    const std::string home = bus_.folder() + "/audacious-" + std::to_string(++runs_);
    ChildProcess::Environment environment = isolated(bus_, home);
    environment.emplace_back("PULSE_SERVER", pulse_.server());
    if (!process_.start({"audacious", "-H"}, environment, home + "/audacious.log")) {
        return false;
    }
    return ChildProcess::eventually(
        [this] { return audtool("version").rfind("Audacious", 0) == 0; });
}

std::string TestAudacious::audtool(const std::string& arguments) const {
    return runOnBus(bus_, "audtool " + arguments);
}

std::string TestMprisPlayer::playerctl(const std::string& arguments) const {
    return runOnBus(bus_, "playerctl -p " + name_ + " " + arguments);
}

bool TestMprisPlayer::launch(const std::vector<std::string>& argv) {
    const std::string home = bus_.folder() + "/" + name_;
    if (!process_.start(argv, isolated(bus_, home), home + "/" + name_ + ".log")) {
        return false;
    }
    return ChildProcess::eventually([this] { return playerctl("status") == "Playing"; });
}

bool TestMpv::start(const std::vector<std::string>& paths) {
    std::vector<std::string> argv{"mpv",       "--no-config", "--script=" + kMpvPlugin, "--ao=null",
                                  "--vo=null", "--idle=yes",  "--no-terminal"};
    argv.insert(argv.end(), paths.begin(), paths.end());
    return launch(argv);
}

bool TestVlc::start(const std::vector<std::string>& paths) {
    const std::string home = bus_.folder() + "/vlc";
    std::filesystem::create_directories(home);
    std::vector<std::string> argv;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || chown(home.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            return false;
        }
        std::filesystem::permissions(bus_.folder(), std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
        argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
    }
    argv.insert(argv.end(), {"vlc", "--intf=dummy", "--control=dbus", "--aout=adummy", "--no-video",
                             "--no-one-instance"});
    argv.insert(argv.end(), paths.begin(), paths.end());
    return launch(argv);
}

}  // namespace zintor::testing

#include "TestPlayers.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

namespace zintor::testing {

namespace {

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

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool TestAudacious::installed() {
    return !ChildProcess::find("audacious").empty() && !ChildProcess::find("audtool").empty();
}

bool TestAudacious::start() {
    const std::string home = bus_.folder() + "/audacious-" + std::to_string(++runs_);
    ChildProcess::Environment environment = isolated(bus_, home);
    environment.emplace_back("PULSE_SERVER", pulse_.server());
    if (!process_.start({"audacious", "-H"}, environment, home + "/audacious.log")) {
        return false;
    }
    return eventually([this] { return audtool("version").rfind("Audacious", 0) == 0; });
}

std::string TestAudacious::audtool(const std::string& arguments) const {
    return runOnBus(bus_, "audtool " + arguments);
}

void TestAudacious::playFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        audtool("playlist-addurl 'file://" + path + "'");
    }
    audtool("playlist-jump 1");
    audtool("playback-play");
}

std::string TestMprisPlayer::playerctl(const std::string& arguments) const {
    return runOnBus(bus_, "playerctl -p " + name_ + " " + arguments);
}

bool TestMprisPlayer::launch(const std::vector<std::string>& argv) {
    const std::string home = bus_.folder() + "/" + name_;
    if (!process_.start(argv, isolated(bus_, home), home + "/" + name_ + ".log")) {
        return false;
    }
    return eventually([this] { return playerctl("status") == "Playing"; });
}

std::string TestMpv::plugin() {
    const char* path = "/usr/lib/mpv-mpris/mpris.so";  // Debian's mpv-mpris
    return std::filesystem::exists(path) ? path : "";
}

bool TestMpv::start(const std::vector<std::string>& paths) {
    std::vector<std::string> argv{"mpv",       "--no-config", "--script=" + plugin(), "--ao=null",
                                  "--vo=null", "--idle=yes",  "--no-terminal"};
    argv.insert(argv.end(), paths.begin(), paths.end());
    return launch(argv);
}

bool TestVlc::installed() {
    return !ChildProcess::find("vlc").empty() &&
           !ChildProcess::output("ls /usr/lib/*/vlc/plugins/control/libdbus_plugin.so 2>/dev/null")
                .empty();
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

#pragma once

#include <QTemporaryDir>

#include <fstream>
#include <string>

#include <pwd.h>
#include <unistd.h>

#include "ChildProcess.h"

namespace zintor::testing {

// A headless sway (wlroots' headless backend, pixman renderer, no input devices, no XWayland)
// with one output of 1280x1024 pixels, in a private runtime folder. Sway refuses to run as root:
// under root it runs as the user "nobody".
class PrivateSway {
  public:
    static bool installed() { return !ChildProcess::find("sway").empty(); }
    // Starts sway and waits for its socket.
    bool start() {
        const std::string folder = folder_.path().toStdString();
        std::ofstream(folder + "/config")
            << "output HEADLESS-1 resolution 1280x1024\nxwayland disable\ndefault_border none\n"
            << "for_window [app_id=\"wev\"] fullscreen enable\n";
        std::vector<std::string> argv;
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (nobody == nullptr || chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                return false;
            }
            argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                    "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
        }
        argv.insert(argv.end(), {"sway", "-c", folder + "/config"});
        // In a fresh runtime folder, libwayland's automatic socket name is its first one.
        display_ = folder + "/wayland-1";
        return sway_.start(argv,
                           {{"XDG_RUNTIME_DIR", folder},
                            {"HOME", folder},
                            {"WLR_BACKENDS", "headless"},
                            {"WLR_RENDERER", "pixman"},
                            {"WLR_LIBINPUT_NO_DEVICES", "1"}},
                           folder + "/sway.log") &&
               sway_.waitUntilListening(display_);
    }
    // The socket's full path: a valid WAYLAND_DISPLAY for any user allowed into the folder.
    const std::string& display() const { return display_; }
    std::string log() const {
        return ChildProcess::readFile(folder_.path().toStdString() + "/sway.log");
    }
    void stop() { sway_.stop(); }

  private:
    QTemporaryDir folder_{"/tmp/zintor-sway-XXXXXX"};
    std::string display_;
    ChildProcess sway_;  // ended before its folder goes
};

}  // namespace zintor::testing

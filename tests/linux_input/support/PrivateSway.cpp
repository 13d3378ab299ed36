#include "PrivateSway.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace zintor::testing {

PrivateSway::~PrivateSway() {
    sway_.stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        std::filesystem::remove(folder_ + ".log", ignored);
    }
}

bool PrivateSway::start(const ChildProcess::Environment& environment) {
    char folder[] = "/tmp/zintor-sway-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return false;
    }
    folder_ = folder;
    std::ofstream(folder_ + "/config") << "output HEADLESS-1 resolution " << kWidth << "x"
                                       << kHeight << "\nxwayland disable\ndefault_border none\n"
                                       << "for_window [app_id=\"wev\"] fullscreen enable\n";
    std::vector<std::string> argv;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || chown(folder, nobody->pw_uid, nobody->pw_gid) != 0) {
            return false;
        }
        argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", "--"};
    }
    argv.insert(argv.end(), {"sway", "-c", folder_ + "/config"});
    ChildProcess::Environment variables = {{"XDG_RUNTIME_DIR", folder_},
                                           {"HOME", folder_},
                                           {"WLR_BACKENDS", "headless"},
                                           {"WLR_RENDERER", "pixman"},
                                           {"WLR_LIBINPUT_NO_DEVICES", "1"}};
    variables.insert(variables.end(), environment.begin(), environment.end());
    if (!sway_.start(argv, variables, folder_ + ".log")) {
        return false;
    }
    // The first free "wayland-<n>" in the folder is sway's.
    for (int attempt = 0; attempt < 100 && sway_.running(); ++attempt) {
        for (int n = 0; n < 4; ++n) {
            const std::string socket = folder_ + "/wayland-" + std::to_string(n);
            if (std::filesystem::exists(socket) && sway_.waitUntilListening(socket)) {
                display_ = socket;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

}  // namespace zintor::testing

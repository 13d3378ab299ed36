#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

#include "ChildProcess.h"

namespace zintor::test {

// The real zintor executable (ZINTOR_BINARY) in a private configuration and state folder, removed
// at the end after the program, if it still runs, is ended.
class ZintorProcess : public testing::ChildProcess {
  public:
    ZintorProcess() {
        std::filesystem::create_directories(configFolder() + "/ports");
        for (const char* folder : {"/state", "/runtime"}) {
            std::filesystem::create_directory(root() + folder);
        }
        std::filesystem::permissions(root() + "/runtime", std::filesystem::perms::owner_all);
    }
    ~ZintorProcess() { stop(); }

    std::string configFolder() const { return root() + "/config/Zintor"; }  // $XDG_CONFIG_HOME
    // Writes the settings file ([Settings] followed by `lines`).
    void writeSettings(const std::string& lines) const {
        std::ofstream(configFolder() + "/Zintor4.ini") << "[Settings]\n" << lines;
    }
    // Makes ports/COM<n> a symbolic link to `device`.
    void pin(int port, const std::string& device) const {
        std::filesystem::create_symlink(device,
                                        configFolder() + "/ports/COM" + std::to_string(port));
    }

    // `extra` is added to the program's environment; `withoutX` hides DISPLAY from it.
    bool start(const Environment& extra = {}, bool withoutX = false) {
        Environment environment{{"XDG_CONFIG_HOME", root() + "/config"},
                                {"XDG_STATE_HOME", root() + "/state"},
                                {"XDG_RUNTIME_DIR", root() + "/runtime"}};
        environment.insert(environment.end(), extra.begin(), extra.end());
        std::vector<std::string> argv{ZINTOR_BINARY};
        withoutX ? void(argv.insert(argv.begin(), {"env", "-u", "DISPLAY"})) : void();
        return ChildProcess::start(argv, environment, root() + "/output.txt");
    }
    std::string errorOutput() const { return readFile(root() + "/output.txt"); }
    // What the program wrote to its log (Log=1 in its settings): one file a day.
    std::string logText() const {
        std::string text;
        std::error_code error;
        for (const auto& file :
             std::filesystem::directory_iterator(root() + "/state/Zintor/log", error)) {
            text += readFile(file.path());
        }
        return text;
    }

  private:
    std::string root() const { return folder_.path().toStdString(); }

    QTemporaryDir folder_{"/tmp/zintor-e2e-XXXXXX"};
};

}  // namespace zintor::test

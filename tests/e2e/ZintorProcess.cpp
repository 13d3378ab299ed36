#include "ZintorProcess.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace zintor::test {

namespace fs = std::filesystem;

ZintorProcess::ZintorProcess() {
    std::string pattern = (fs::temp_directory_path() / "zintor-e2e-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    config_ = root_ + "/config/Zintor";
    fs::create_directories(config_ + "/ports");
    fs::create_directories(root_ + "/state");
    fs::create_directories(root_ + "/runtime");
    fs::permissions(root_ + "/runtime", fs::perms::owner_all);
}

ZintorProcess::~ZintorProcess() {
    process_.stop();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void ZintorProcess::writeSettings(const std::string& lines) {
    std::ofstream(config_ + "/Zintor4.ini") << "[Settings]\n" << lines;
}

void ZintorProcess::pin(int port, const std::string& device) {
    fs::create_symlink(device, config_ + "/ports/COM" + std::to_string(port));
}

bool ZintorProcess::start(const testing::ChildProcess::Environment& extra, bool withoutX) {
    testing::ChildProcess::Environment environment{{"XDG_CONFIG_HOME", root_ + "/config"},
                                                   {"XDG_STATE_HOME", root_ + "/state"},
                                                   {"XDG_RUNTIME_DIR", root_ + "/runtime"}};
    environment.insert(environment.end(), extra.begin(), extra.end());
    return withoutX ? process_.start({"env", "-u", "DISPLAY", ZINTOR_BINARY}, environment,
                                     root_ + "/output.txt")
                    : process_.start({ZINTOR_BINARY}, environment, root_ + "/output.txt");
}

std::string ZintorProcess::runAgain() const {
    return testing::ChildProcess::output(
        "XDG_CONFIG_HOME='" + root_ + "/config' XDG_RUNTIME_DIR='" + root_ +
        "/runtime' QT_QPA_PLATFORM=offscreen timeout 20 " ZINTOR_BINARY
        " 2>&1 >/dev/null; "
        "echo status $?");
}

}  // namespace zintor::test

#include "ZintorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

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
    if (running()) {
        ::kill(pid_, SIGKILL);
        waitForExit(std::chrono::seconds(5));
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void ZintorProcess::writeSettings(const std::string& lines) {
    std::ofstream(config_ + "/Zintor4.ini") << "[Settings]\n" << lines;
}

void ZintorProcess::pin(int port, const std::string& device) {
    fs::create_symlink(device, config_ + "/ports/COM" + std::to_string(port));
}

std::string ZintorProcess::readSettings() const {
    std::ifstream in(config_ + "/Zintor4.ini");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ZintorProcess::start() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("XDG_STATE_HOME=", 0) != 0 &&
            entry.rfind("XDG_RUNTIME_DIR=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("XDG_CONFIG_HOME=" + root_ + "/config");
    env.push_back("XDG_STATE_HOME=" + root_ + "/state");
    env.push_back("XDG_RUNTIME_DIR=" + root_ + "/runtime");
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (root_ + "/stdout.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (root_ + "/stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string program = ZINTOR_BINARY;
    char* argv[] = {program.data(), nullptr};
    const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

void ZintorProcess::signal(int number) {
    if (running()) {
        ::kill(pid_, number);
    }
}

bool ZintorProcess::running() {
    if (pid_ <= 0 || status_) {
        return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::optional<int> ZintorProcess::waitForExit(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

std::string ZintorProcess::errorOutput() const {
    std::ifstream in(root_ + "/stderr.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace zintor::test

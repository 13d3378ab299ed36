#include "ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zintor::testing {

std::string ChildProcess::find(const std::string& program) {
    std::string path = output("command -v '" + program + "' 2>/dev/null");
    path.erase(path.find_last_not_of('\n') + 1);
    return path.starts_with('/') ? path : "";  // a shell builtin is no program
}

std::string ChildProcess::output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c = 0; (c = fgetc(pipe)) != EOF;) {
            text += static_cast<char>(c);
        }
        pclose(pipe);
    }
    return text;
}

std::string ChildProcess::readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool ChildProcess::start(const std::vector<std::string>& argv, const Environment& environment,
                         const std::string& logFile, int inheritedFd) {
    stop();
    status_.reset();
    if (find(argv.at(0)).empty()) {
        return false;
    }
    // env(1) adds the variables and searches PATH; the child itself only redirects and execs.
    std::vector<std::string> words{"/usr/bin/env"};
    for (const auto& [name, value] : environment) {
        words.push_back(name + "=" + value);
    }
    words.insert(words.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& word : words) {
        args.push_back(word.data());
    }
    args.push_back(nullptr);
    const int out = open(logFile.empty() ? "/dev/null" : logFile.c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        if (inheritedFd >= 0) {
            fcntl(inheritedFd, F_SETFD, 0);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    close(out);
    return pid_ > 0;
}

bool ChildProcess::running() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
    }
    return pid_ > 0;
}

void ChildProcess::signal(int number) {
    if (running()) {
        kill(pid_, number);
    }
}

std::optional<int> ChildProcess::waitForExit(int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void ChildProcess::stop() {
    signal(SIGTERM);
    if (!waitForExit(5000) && running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

bool ChildProcess::waitUntilListening(const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && running()) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool ok =
            connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace zintor::testing

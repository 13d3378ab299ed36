#include "ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zintor::testing {

std::string ChildProcess::find(const std::string& program) {
    std::string path = output("command -v '" + program + "' 2>/dev/null");
    path.erase(path.find_last_not_of('\n') + 1);
    return path.starts_with('/') ? path : "";  // a shell builtin is no program
}

std::string ChildProcess::output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        std::size_t count = 0;
        while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            text.append(buffer, count);
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
    const std::string program =
        argv.at(0).find('/') == std::string::npos ? find(argv.at(0)) : argv.at(0);
    if (program.empty()) {
        return false;
    }
    // Everything the child needs is prepared before fork: it only redirects and execs.
    std::map<std::string, std::string> variables;  // name: "name=value", ours replaced by added
    for (char** entry = environ; *entry != nullptr; ++entry) {
        variables[std::string(*entry).substr(0, std::string(*entry).find('='))] = *entry;
    }
    for (const auto& [name, value] : environment) {
        variables[name] = name + "=" + value;
    }
    std::vector<char*> args, envp;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    for (auto& entry : variables) {
        envp.push_back(entry.second.data());
    }
    args.push_back(nullptr);
    envp.push_back(nullptr);
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
        execve(program.c_str(), args.data(), envp.data());
        _exit(127);
    }
    close(out);
    return pid_ > 0;
}

bool ChildProcess::running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
        return false;
    }
    return true;
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
    const auto accepts = [&socketPath] {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return false;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        const bool ok =
            connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return ok;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && running()) {
        if (accepts()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace zintor::testing

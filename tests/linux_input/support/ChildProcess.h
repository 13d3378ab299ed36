#pragma once

#include <QProcess>
#include <QStandardPaths>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zintor::testing {

// A helper program started by a test (an X server, a sound server) and stopped with it.
class ChildProcess {
  public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ~ChildProcess() { stop(); }

    // Starts argv[0] with `environment` added to ours, its output going to `logFile` (or nowhere),
    // in a process group of its own; `inheritedFd`, when not -1, stays open in it.
    bool start(const std::vector<std::string>& argv, const Environment& environment = {},
               const std::string& logFile = {}, int inheritedFd = -1) {
        stop();
        if (find(argv.at(0)).empty()) {
            return started_ = false;
        }
        // env(1) adds the variables and searches PATH. The child execs it itself, with the bytes
        // as given: QProcess would pass arguments as UTF-8 text, replacing any other bytes.
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
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.setStandardOutputFile(logFile.empty() ? QProcess::nullDevice()
                                                       : QString::fromStdString(logFile));
        process_.setChildProcessModifier([&] {
            setpgid(0, 0);
            inheritedFd < 0 ? 0 : fcntl(inheritedFd, F_SETFD, 0);
            execv(args[0], args.data());
            _exit(127);
        });
        process_.start("/usr/bin/env", {});
        return started_ = process_.waitForStarted();
    }
    void stop() {
        if (running()) {
            process_.terminate();
            process_.waitForFinished(5000) || (process_.kill(), process_.waitForFinished(-1));
        }
    }
    bool running() {
        return process_.state() != QProcess::NotRunning && !process_.waitForFinished(0);
    }
    void signal(int number) { running() ? void(::kill(pid(), number)) : void(); }
    pid_t pid() const { return static_cast<pid_t>(process_.processId()); }
    // The exit status (128 + signal when killed) once it has ended, waiting up to `limit`.
    std::optional<int> waitForExit(std::chrono::milliseconds limit) {
        if (!started_ || (running() && !process_.waitForFinished(int(limit.count())))) {
            return std::nullopt;
        }
        return process_.exitCode() + (process_.exitStatus() == QProcess::CrashExit ? 128 : 0);
    }
    // Waits (10 s at most) until the Unix socket `socketPath` takes a connection, while it runs.
    bool waitUntilListening(const std::string& socketPath) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        return eventually([&] {
                   const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                   const bool ok =
                       connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
                   close(fd);
                   return ok || !running();
               }) &&
               running();
    }

    // Checks `done` every 20 ms until it holds or `limit` has passed; done() then.
    static bool eventually(const std::function<bool()>& done,
                           std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    }
    // The full path of `program` ("" when not installed); a shell command's output; a file's text.
    static std::string find(const std::string& program) {
        return QStandardPaths::findExecutable(QString::fromStdString(program)).toStdString();
    }
    static std::string output(const std::string& command) {
        QProcess shell;
        shell.start("/bin/sh", {"-c", QString::fromStdString(command)});
        shell.waitForFinished(-1);
        return shell.readAllStandardOutput().toStdString();
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }

  private:
    QProcess process_;
    bool started_ = false;
};

}  // namespace zintor::testing

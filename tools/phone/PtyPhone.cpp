#include "PtyPhone.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zintor::phone {

PtyPhone::PtyPhone() : start_(std::chrono::steady_clock::now()) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error_ = std::string("openpty: ") + std::strerror(errno);
        master_ = slave_ = -1;
        return;
    }
    slavePath_ = name;
    // Raw bytes both ways until the program sets the line up itself.
    termios raw{};
    if (::tcgetattr(slave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    startThread();
}

PtyPhone::PtyPhone(int socket)
    : master_(socket), socket_(true), start_(std::chrono::steady_clock::now()) {
    startThread();
}

void PtyPhone::startThread() {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = std::string("pipe: ") + std::strerror(errno);
        ::close(master_);
        if (slave_ >= 0) {
            ::close(slave_);
        }
        master_ = slave_ = -1;
        return;
    }
    thread_ = std::thread([this] { run(); });
}

PtyPhone::~PtyPhone() {
    hangUp();
    for (int& fd : wake_) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

std::int64_t PtyPhone::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void PtyPhone::setReply(const std::string& command, const std::string& reply) {
    std::lock_guard lock(mutex_);
    replies_[command] = reply;
}

void PtyPhone::setSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
    silentUntil_ = {};
}

void PtyPhone::silenceFor(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    silentUntil_ = std::chrono::steady_clock::now() + duration;
}

void PtyPhone::setEcho(bool echo) {
    std::lock_guard lock(mutex_);
    echo_ = echo;
}

void PtyPhone::setLineHook(std::function<void(const Line&)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

void PtyPhone::writeAll(const std::string& bytes) {
    std::lock_guard lock(writeMutex_);
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n =
            socket_ ? ::send(master_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                    : ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> PtyPhone::act(
    const std::function<std::optional<std::string>(web::PhoneModel&)>& action) {
    std::optional<std::string> line;
    {
        std::lock_guard lock(mutex_);
        line = action(model_);
    }
    if (line) {
        writeAll(*line + "\r\n");
    }
    return line;
}

web::PhoneScreen PtyPhone::screen() const {
    std::lock_guard lock(mutex_);
    return model_.screen();
}

void PtyPhone::send(const std::string& bytes) {
    writeAll(bytes);
}

void PtyPhone::hangUp() {
    if (thread_.joinable()) {
        const char stop = 'x';
        [[maybe_unused]] const ssize_t n = ::write(wake_[1], &stop, 1);
        thread_.join();
    }
    std::lock_guard writeLock(writeMutex_);
    std::lock_guard lock(mutex_);
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    hungUp_ = true;
    changed_.notify_all();
}

bool PtyPhone::hungUp() const {
    std::lock_guard lock(mutex_);
    return hungUp_;
}

std::vector<PtyPhone::Line> PtyPhone::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::string PtyPhone::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::string> PtyPhone::texts() const {
    std::vector<std::string> out;
    for (const Line& line : lines()) {
        out.push_back(line.text);
    }
    return out;
}

bool PtyPhone::waitUntil(const std::function<bool(const std::vector<Line>&)>& done,
                         std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(lines_); });
}

int PtyPhone::waitForLine(const std::string& text, std::size_t from,
                          std::chrono::milliseconds timeout) const {
    int index = -1;
    waitUntil(
        [&](const std::vector<Line>& lines) {
            for (std::size_t i = from; i < lines.size(); ++i) {
                if (lines[i].text == text) {
                    index = static_cast<int>(i);
                    return true;
                }
            }
            return false;
        },
        timeout);
    return index;
}

void PtyPhone::run() {
    char buffer[4096];
    while (true) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                handleBytes(buffer, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n == 0 && socket_) {  // the program closed its end
                std::lock_guard lock(mutex_);
                hungUp_ = true;
                changed_.notify_all();
                return;
            }
        }
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            // Cannot happen while our own slave descriptor is open; do not spin if it does.
            return;
        }
    }
}

void PtyPhone::handleBytes(const char* data, std::size_t size) {
    {
        std::lock_guard lock(mutex_);
        received_.append(data, size);
    }
    // A command ends at CR (the program sends CR LF); the LF then ends an empty line, ignored.
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            if (!partial_.empty()) {
                std::string line;
                line.swap(partial_);
                answer(line);
            }
        } else {
            partial_ += c;
        }
    }
}

void PtyPhone::answer(const std::string& text) {
    Line line{text, elapsedMs()};
    std::string reply;
    std::function<void(const Line&)> hook;
    {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
        auto it = replies_.find(text);
        reply = it != replies_.end() ? it->second : model_.answer(text);
        if (silent_ || std::chrono::steady_clock::now() < silentUntil_) {
            reply.clear();
        } else if (echo_) {
            reply = text + "\r\n" + reply;
        }
        hook = hook_;
    }
    changed_.notify_all();
    if (hook) {
        hook(line);
    }
    if (!reply.empty()) {
        writeAll(reply);
    }
}

}  // namespace zintor::phone

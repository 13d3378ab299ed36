#include "platform/linux/SocketSerialLink.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zintor {

SocketSerialLink::SocketSerialLink() = default;

SocketSerialLink::~SocketSerialLink() {
    listener_ = nullptr;
    close();
}

void SocketSerialLink::adopt(int socket) {
    close();
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    ::fcntl(socket, F_SETFD, FD_CLOEXEC);
    socket_ = socket;
    ++generation_;
    armed_ = false;
    receivePosted_ = false;
    hangUpPosted_ = false;
    readable_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, &context_,
                     [this] { readSome(); });
    writable_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
    writable_->setEnabled(false);
    QObject::connect(writable_.get(), &QSocketNotifier::activated, &context_,
                     [this] { writeWaiting(); });
}

bool SocketSerialLink::open(int) {
    return false;
}

void SocketSerialLink::close() {
    armed_ = false;
    readable_.reset();
    writable_.reset();
    received_.clear();
    waiting_.clear();
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

void SocketSerialLink::post(std::function<void()> call) {
    QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
}

void SocketSerialLink::hangUp() {
    if (hangUpPosted_ || socket_ < 0) {
        return;
    }
    hangUpPosted_ = true;
    if (readable_) {
        readable_->setEnabled(false);  // the end is not read again meanwhile
    }
    post([this, generation = generation_] {
        if (generation != generation_ || socket_ < 0) {
            return;  // closed (and maybe adopted again) by the program in the meantime
        }
        close();
        if (listener_) {
            listener_(SerialEvent::kHangUp);
        }
    });
}

void SocketSerialLink::readSome() {
    char buffer[4096];
    while (socket_ >= 0 && received_.size() < kMaxBuffered) {
        const ssize_t n = ::read(socket_, buffer, sizeof buffer);
        if (n > 0) {
            received_.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            hangUp();  // the other side closed, or the connection broke
        }
        break;
    }
    if (readable_ && received_.size() >= kMaxBuffered) {
        readable_->setEnabled(false);  // read again once the program took what is there
    }
    if (armed_ && !received_.empty()) {
        postReceive();
    }
}

void SocketSerialLink::write(std::string_view bytes) {
    if (socket_ < 0 || bytes.empty()) {
        return;
    }
    waiting_.append(bytes);
    writeWaiting();
}

void SocketSerialLink::writeWaiting() {
    while (socket_ >= 0 && !waiting_.empty()) {
        const ssize_t n = ::send(socket_, waiting_.data(), waiting_.size(), MSG_NOSIGNAL);
        if (n > 0) {
            waiting_.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            waiting_.clear();
            hangUp();
        }
    }
    if (writable_) {
        writable_->setEnabled(!waiting_.empty());
    }
}

std::string SocketSerialLink::takeReceived() {
    if (readable_ && !hangUpPosted_) {
        readable_->setEnabled(true);
    }
    return std::exchange(received_, {});
}

void SocketSerialLink::setReceiveArmed(bool armed) {
    armed_ = armed;
    if (armed_ && socket_ >= 0 && !received_.empty()) {
        postReceive();
    }
}

void SocketSerialLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = std::move(listener);
}

void SocketSerialLink::postReceive() {
    if (receivePosted_) {
        return;  // one pending event covers every byte that arrives before it runs
    }
    receivePosted_ = true;
    post([this] {
        receivePosted_ = false;
        if (armed_ && socket_ >= 0 && !received_.empty() && listener_) {
            listener_(SerialEvent::kReceive);
        }
    });
}

}  // namespace zintor

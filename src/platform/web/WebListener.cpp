#include "platform/web/WebListener.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zintor::web {

WebListener::WebListener(std::function<void(int)> accepted,
                         std::function<void(const QString&)> failed)
    : accepted_(std::move(accepted)), failed_(std::move(failed)) {
    retry_.setSingleShot(true);
    QObject::connect(&retry_, &QTimer::timeout, [this] { notifier_->setEnabled(true); });
}

WebListener::~WebListener() {
    notifier_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

quint16 WebListener::listen(quint16 port, QString& error) {
    sockaddr_storage address{};
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    fd_ = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ >= 0) {
        v6->sin6_family = AF_INET6;
        v6->sin6_addr = in6addr_any;
        v6->sin6_port = htons(port);
    } else {  // a machine without IPv6
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        v4->sin_family = AF_INET;
        v4->sin_addr.s_addr = htonl(INADDR_ANY);
        v4->sin_port = htons(port);
    }
    const int no = 0;
    const int yes = 1;
    socklen_t size = address.ss_family == AF_INET6 ? sizeof *v6 : sizeof *v4;
    if (fd_ < 0 ||
        (address.ss_family == AF_INET6 &&
         ::setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no) != 0) ||
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 128) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return 0;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { acceptAll(); });
    return ntohs(address.ss_family == AF_INET6 ? v6->sin6_port : v4->sin_port);
}

void WebListener::acceptAll() {
    for (int i = 0; i < 64; ++i) {  // then the loop's other work, and more next pass
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            accepted_(fd);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        } else if (errno != EINTR && errno != ECONNABORTED) {
            failed_(QStringLiteral("accept failed: ") + std::strerror(errno));
            notifier_->setEnabled(false);
            retry_.start(kRetryMs);
            return;
        }
    }
}

}  // namespace zintor::web

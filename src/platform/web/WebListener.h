#pragma once

#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace zintor::web {

// The listening socket, on every address (IPv6 and IPv4). Each connection is taken at once and
// handed on (`accepted`, a non-blocking descriptor): none waits in a queue whose limit would stop
// accepting. Qt's QTcpServer is not used because it retries an accept that failed for want of file
// handles on every pass of the loop (spinning); here accepting rests kRetryMs and goes on.
class WebListener {
  public:
    static constexpr int kRetryMs = 200;

    WebListener(std::function<void(int)> accepted, std::function<void(const QString&)> failed);
    ~WebListener();
    WebListener(const WebListener&) = delete;
    WebListener& operator=(const WebListener&) = delete;

    // Port 0 picks a free one. The port listened on, or 0 when it cannot (`error` says why).
    quint16 listen(quint16 port, QString& error);

  private:
    void acceptAll();

    std::function<void(int)> accepted_;
    std::function<void(const QString&)> failed_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer retry_;
};

}  // namespace zintor::web

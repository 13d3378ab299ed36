#pragma once

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <string>

#include "WebCertificate.h"
#include "ports/LogSink.h"

namespace zintor::web {

// The web phone's page and socket: HTTPS on the local network, one phone at a time.
//  - GET /?t=TOKEN gives the page; a missing or wrong token gets 403 and nothing else.
//  - The page opens a WebSocket on /ws?t=TOKEN from its own origin; anything else (wrong
//    token, foreign origin, a second phone, an address outside the local network) is closed
//    at once, before a single byte of the phone reaches it.
//  - Frames from the page are at most kMaxFrame bytes; a larger one ends the connection.
//  - A page that stops answering pings for kLostAfterMs is taken as gone.
// Every refusal is logged through `log`; the server goes on.
// Serves the page itself; WebSocket upgrades go to the socket server behind it.
class PageServer : public QAbstractHttpServer {
    Q_OBJECT
  public:
    using Handler = std::function<void(const QHttpServerRequest&, QTcpSocket*)>;
    explicit PageServer(Handler handler) : handler_(std::move(handler)) {}
    using QAbstractHttpServer::makeResponder;

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    Handler handler_;
};

class WebPhoneServer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxFrame = 2048;
    static constexpr int kPingMs = 2000;
    static constexpr int kLostAfterMs = 7000;

    explicit WebPhoneServer(Diagnostic log);
    ~WebPhoneServer() override;

    // Listens on every address of this machine (peers outside the local network are refused).
    // Port 0 picks a free one. False when it cannot (error() says why).
    bool start(const WebCertificate& certificate, quint16 port, const QString& token);
    void stop();
    bool running() const { return port_ != 0; }
    quint16 port() const { return port_; }
    const QString& error() const { return error_; }

    // A new token: the old one no longer opens the page, and a phone paired with it is dropped.
    void setToken(const QString& token);
    const QString& token() const { return token_; }

    bool phoneConnected() const { return phone_ != nullptr; }
    void sendToPhone(const QString& text);

    // True for loopback, private IPv4 (10/8, 172.16/12, 192.168/16), link-local and IPv6 ULA.
    static bool isLocalNetwork(const QHostAddress& address);

  signals:
    void phoneArrived();
    void phoneMessage(const QString& text);
    void phoneLost();

  private:
    void servePage(const QHttpServerRequest& request, QTcpSocket* socket);
    void onNewSocket();
    void dropPhone(const QString& why);
    void refuse(QWebSocket* socket, const QString& why);
    void checkAlive();

    Diagnostic log_;
    std::unique_ptr<PageServer> http_;
    quint16 port_ = 0;
    QString token_;
    QString error_;
    QByteArray page_;
    QWebSocket* phone_ = nullptr;
    QTimer ping_;
    QElapsedTimer lastPong_;
};

}  // namespace zintor::web

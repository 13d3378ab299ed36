#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSslConfiguration>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <memory>
#include <string>

#include "core/ports/LogSink.h"
#include "platform/web/WebCertificate.h"

namespace zintor::web {

class WebConnection;
class WebListener;
struct RequestHead;

// How much the web phone's server gives any peer (see WebPhoneServer).
struct WebServerLimits {
    int handshakeMs = 5000;
    int requestMs = 5000;
    int maxConnections = 64;
    int maxPerPeer = 8;
    int refusalLines = 10;
    int refusalWindowMs = 10000;
};

// The web phone's page and socket: HTTPS on the local network, one phone at a time. Every byte
// that reaches it is taken as hostile until the token and the origin say otherwise, and no peer
// can hold the program: all I/O is non-blocking and every peer is bounded in time and bytes.
//  - A connection is refused when it is accepted, before TLS, when its peer is outside the local
//    network, or when it would pass `maxPerPeer` connections of its address or `maxConnections`
//    in all. Accepting never stops (a failed accept is tried again).
//  - The TLS handshake must end within `handshakeMs`, the request line and headers (at most
//    WebConnection::kMaxHead bytes) within `requestMs` after it; every answer closes the
//    connection, so no connection stays idle.
//  - GET /?t=TOKEN gives the page; a wrong or missing token gets a short page that tells to
//    scan the new code on the PC. /manifest.webmanifest?t=TOKEN makes it an app of its own on
//    the phone (opened with the token); /icon.svg and /icon.png are the program's icon.
//  - The page opens a WebSocket on /ws?t=TOKEN; its Origin must be https://HOST:PORT with HOST
//    one that this server serves (servedHosts()), whatever Host header the client sent. A wrong
//    token or a second phone gets the socket closed at once, with the reason, before a byte of
//    the phone reaches it.
//  - Frames from the page are at most kMaxFrame bytes; a larger one ends the connection.
//  - A page that stops answering pings for kLostAfterMs is taken as gone.
// Refusals are logged through `log`, at most `refusalLines` in `refusalWindowMs` (the others
// counted in one line); the server goes on.
class WebPhoneServer : public QObject {
    Q_OBJECT
  public:
    using Limits = WebServerLimits;
    static constexpr int kMaxFrame = 2048;
    static constexpr int kPingMs = 2000;
    static constexpr int kLostAfterMs = 7000;
    // Close reasons the page shows in its own words.
    static constexpr const char* kOtherPhone = "another phone is connected";
    static constexpr const char* kWrongToken = "missing or wrong pairing token";

    explicit WebPhoneServer(Diagnostic log, Limits limits = {});
    ~WebPhoneServer() override;

    // Listens on every address of this machine. Port 0 picks a free one. False when it cannot
    // (error() says why).
    bool start(const WebCertificate& certificate, quint16 port, const QString& token);
    // A renewed certificate, for the connections from now on.
    void setCertificate(const WebCertificate& certificate);
    void stop();
    bool running() const { return port_ != 0; }
    quint16 port() const { return port_; }
    const QString& error() const { return error_; }

    // A new token: the old one no longer opens the page, and a phone paired with it is dropped.
    void setToken(const QString& token);
    const QString& token() const { return token_; }

    bool phoneConnected() const { return phone_ != nullptr; }
    void sendToPhone(const QString& text);
    // Open connections from peers, the phone's included.
    int connections() const { return connections_; }

    // True for loopback, private IPv4 (10/8, 172.16/12, 192.168/16), link-local and IPv6 ULA.
    static bool isLocalNetwork(const QHostAddress& address);
    // What the page is served as: this machine's local-network addresses (loopback included)
    // and its name in .local.
    static QStringList servedHosts();
    static bool isServedHost(const QString& host);

  signals:
    void phoneArrived();
    void phoneMessage(const QString& text);
    void phoneLost();

  private:
    void accept(int descriptor);
    void onRequest(WebConnection* connection, const RequestHead& head);
    void servePage(WebConnection* connection, const RequestHead& head);
    void onNewSocket();
    void dropPhone(const QString& why);
    void refuse(QWebSocket* socket, const char* why);
    void refusal(const QString& what);
    void logRefusalsNotShown();
    void checkAlive();

    Diagnostic log_;
    Limits limits_;
    std::unique_ptr<WebListener> listener_;
    std::unique_ptr<QWebSocketServer> sockets_;
    QSslConfiguration tls_;
    quint16 port_ = 0;
    QString token_;
    QString error_;
    QByteArray page_;
    QByteArray iconSvg_;
    QByteArray iconPng_;
    QByteArray stalePage_;
    QWebSocket* phone_ = nullptr;
    QTimer ping_;
    QElapsedTimer lastPong_;
    int connections_ = 0;
    QHash<QString, int> perPeer_;
    QElapsedTimer refusalWindow_;
    int refusalsLogged_ = 0;
    int refusalsNotLogged_ = 0;
    QTimer refusalSummary_;
};

}  // namespace zintor::web

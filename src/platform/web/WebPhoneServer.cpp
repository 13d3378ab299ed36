#include "WebPhoneServer.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QUrlQuery>

namespace zintor::web {

namespace {

// Compares in a time that does not depend on where the texts differ.
bool sameToken(const QString& given, const QString& token) {
    const QByteArray a = given.toUtf8();
    const QByteArray b = token.toUtf8();
    if (a.size() != b.size() || b.isEmpty()) {
        return false;
    }
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

std::string peerText(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4) : address).toString().toStdString();
}

}  // namespace

WebPhoneServer::WebPhoneServer(Diagnostic log) : log_(std::move(log)) {
    QFile page(QStringLiteral(":/web/phone.html"));
    if (page.open(QIODevice::ReadOnly)) {
        page_ = page.readAll();
    }
    ping_.setInterval(kPingMs);
    connect(&ping_, &QTimer::timeout, this, [this] { checkAlive(); });
}

WebPhoneServer::~WebPhoneServer() {
    stop();
}

bool WebPhoneServer::isLocalNetwork(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);  // also IPv4 mapped into IPv6
    if (isV4) {
        return (v4 >> 24) == 127 || (v4 >> 24) == 10 || (v4 >> 20) == 0xac1 ||
               (v4 >> 16) == 0xc0a8 || (v4 >> 16) == 0xa9fe;
    }
    if (address.isLoopback() || address.isLinkLocal()) {
        return true;
    }
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    return address.protocol() == QAbstractSocket::IPv6Protocol && (v6[0] & 0xfe) == 0xfc;
}

bool WebPhoneServer::start(const WebCertificate& certificate, quint16 port, const QString& token) {
    stop();
    if (!certificate.ok()) {
        error_ = certificate.error.isEmpty() ? QStringLiteral("no certificate") : certificate.error;
        return false;
    }
    token_ = token;
    http_ =
        std::make_unique<PageServer>([this](const QHttpServerRequest& request, QTcpSocket* socket) {
            servePage(request, socket);
        });
    connect(http_.get(), &PageServer::newWebSocketConnection, this, [this] { onNewSocket(); });
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setLocalCertificate(certificate.certificate);
    ssl.setPrivateKey(certificate.key);
    ssl.setProtocol(QSsl::TlsV1_2OrLater);
    http_->sslSetup(ssl);
    port_ = http_->listen(QHostAddress::Any, port);
    if (port_ == 0) {
        error_ = QStringLiteral("cannot listen on port %1").arg(port);
        http_.reset();
        return false;
    }
    error_.clear();
    return true;
}

bool PageServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        // Qt 6.4 hands an upgrade to the socket server only when the request counts as
        // handled; the socket's path and token are checked there (onNewSocket).
        return true;
    }
    handler_(request, socket);
    return true;
}

void PageServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

void WebPhoneServer::servePage(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = PageServer::makeResponder(request, socket);
    const QHostAddress peer = request.remoteAddress();
    const char* refusal = nullptr;
    if (request.url().path() != QLatin1String("/") ||
        request.method() != QHttpServerRequest::Method::Get) {
        responder.write(QHttpServerResponder::StatusCode::NotFound);
        return;
    }
    if (!isLocalNetwork(peer)) {
        refusal = "not on the local network";
    } else if (!sameToken(request.query().queryItemValue(QStringLiteral("t")), token_)) {
        refusal = "missing or wrong pairing token";
    }
    if (refusal != nullptr) {
        log_("Web phone: page refused to " + peerText(peer) + " (" + refusal + ")");
        responder.write(QHttpServerResponder::StatusCode::Forbidden);
        return;
    }
    responder.write(page_, {{"Content-Type", "text/html; charset=utf-8"},
                            {"Cache-Control", "no-store"},
                            {"Referrer-Policy", "no-referrer"},
                            {"X-Frame-Options", "DENY"},
                            {"Content-Security-Policy",
                             "default-src 'none'; style-src 'unsafe-inline'; "
                             "script-src 'unsafe-inline'; connect-src 'self'; img-src data:; "
                             "frame-ancestors 'none'"}});
}

void WebPhoneServer::stop() {
    dropPhone(QStringLiteral("web phone switched off"));
    http_.reset();
    port_ = 0;
}

void WebPhoneServer::setToken(const QString& token) {
    token_ = token;
    dropPhone(QStringLiteral("new pairing token"));
}

void WebPhoneServer::refuse(QWebSocket* socket, const QString& why) {
    log_("Web phone: connection from " + peerText(socket->peerAddress()) + " refused (" +
         why.toStdString() + ")");
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
    socket->deleteLater();
}

void WebPhoneServer::onNewSocket() {
    while (http_ && http_->hasPendingWebSocketConnections()) {
        QWebSocket* socket = http_->nextPendingWebSocketConnection().release();
        socket->setParent(this);
        const QUrl url = socket->requestUrl();
        const QUrl origin(socket->origin());
        if (!isLocalNetwork(socket->peerAddress())) {
            refuse(socket, QStringLiteral("not on the local network"));
        } else if (url.path() != QLatin1String("/ws") ||
                   !sameToken(QUrlQuery(url).queryItemValue(QStringLiteral("t")), token_)) {
            refuse(socket, QStringLiteral("missing or wrong pairing token"));
        } else if (origin.scheme() != QLatin1String("https") || origin.host() != url.host() ||
                   origin.port(443) != url.port(443)) {
            refuse(socket, QStringLiteral("foreign origin ") + socket->origin());
        } else if (phone_ != nullptr) {
            refuse(socket, QStringLiteral("another phone is connected"));
        } else {
            phone_ = socket;
            socket->setMaxAllowedIncomingFrameSize(kMaxFrame);
            socket->setMaxAllowedIncomingMessageSize(kMaxFrame);
            connect(socket, &QWebSocket::textMessageReceived, this,
                    [this](const QString& text) { emit phoneMessage(text); });
            connect(socket, &QWebSocket::binaryMessageReceived, this,
                    [this] { log_("Web phone: binary frame ignored"); });
            connect(socket, &QWebSocket::pong, this, [this] { lastPong_.start(); });
            connect(socket, &QWebSocket::disconnected, this, [this, socket] {
                if (socket == phone_) {
                    const QString reason = socket->closeReason();
                    dropPhone(QStringLiteral("page closed (code %1%2)")
                                  .arg(socket->closeCode())
                                  .arg(reason.isEmpty() ? QString() : ", " + reason));
                }
            });
            lastPong_.start();
            ping_.start();
            log_("Web phone: phone connected from " + peerText(socket->peerAddress()));
            emit phoneArrived();
        }
    }
}

void WebPhoneServer::checkAlive() {
    if (phone_ == nullptr) {
        ping_.stop();
        return;
    }
    if (lastPong_.elapsed() > kLostAfterMs) {
        dropPhone(QStringLiteral("no answer for %1 ms").arg(lastPong_.elapsed()));
        return;
    }
    phone_->ping();
}

void WebPhoneServer::dropPhone(const QString& why) {
    if (phone_ == nullptr) {
        return;
    }
    QWebSocket* socket = phone_;
    phone_ = nullptr;
    ping_.stop();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    log_("Web phone: phone lost (" + why.toStdString() + ")");
    emit phoneLost();
}

void WebPhoneServer::sendToPhone(const QString& text) {
    if (phone_ != nullptr) {
        phone_->sendTextMessage(text);
        phone_->flush();
    }
}

}  // namespace zintor::web

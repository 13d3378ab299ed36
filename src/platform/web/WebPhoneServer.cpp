#include "platform/web/WebPhoneServer.h"

#include <unistd.h>

#include <cctype>

#include <QFile>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSslSocket>
#include <QUrl>
#include <QUrlQuery>

#include "platform/web/WebConnection.h"
#include "platform/web/WebListener.h"

namespace zintor::web {

namespace {

// What an old or wrong address shows instead of the phone.
constexpr char kStalePage[] =
    "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width, initial-scale=1\"><title>Zintor phone: address too old</title>"
    "</head><body style=\"font:18px/1.4 system-ui,sans-serif;margin:24px;background:#1d2430;"
    "color:#eef\"><h1 style=\"font-size:22px\">This address no longer works</h1><p id=\"stale\">"
    "Scan the new code on the PC: in Zintor's tray menu, <b>Phone settings &gt; Web phone "
    "address...</b></p></body></html>";

constexpr char kHandedOver[] = "zintorHandedOver";  // a TLS socket given to the WebSocket server

constexpr char kPagePolicy[] =
    "default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
    "img-src 'self' data:; manifest-src 'self'; frame-ancestors 'none'; base-uri 'none'; "
    "form-action 'none'; connect-src 'self'";

// What makes the page an app of its own on the phone's home screen; it opens with the token.
constexpr char kManifest[] =
    R"({"name":"Zintor phone","short_name":"Zintor","start_url":"/?t=%1","scope":"/",)"
    R"("display":"standalone","orientation":"any","background_color":"#1d2430",)"
    R"("theme_color":"#1d2430","icons":[{"src":"/icon.svg","sizes":"any",)"
    R"("type":"image/svg+xml"},{"src":"/icon.png","sizes":"256x256","type":"image/png"}]})";

QByteArray resource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

QHostAddress plain(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    QHostAddress result = isV4 ? QHostAddress(v4) : address;
    result.setScopeId({});
    return result;
}

QString peerText(const QHostAddress& address) {
    return plain(address).toString();
}

QString tokenOf(const QByteArray& target) {
    return QUrlQuery(QUrl::fromEncoded(target).query())
        .queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded);
}

// A Host header fit to be named in the page's policy (WebKit does not take 'self' for wss:).
bool plainHost(const QByteArray& host) {
    if (host.isEmpty() || host.size() > 255) {
        return false;
    }
    for (const char c : host) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':' &&
            c != '[' && c != ']') {
            return false;
        }
    }
    return true;
}

}  // namespace

WebPhoneServer::WebPhoneServer(Diagnostic log, Limits limits)
    : log_(std::move(log)), limits_(limits) {
    page_ = resource(QStringLiteral(":/web/phone.html"));
    iconSvg_ = resource(QStringLiteral(":/web/zintor.svg"));
    iconPng_ = resource(QStringLiteral(":/web/hicolor/256x256/apps/zintor.png"));
    ping_.setInterval(kPingMs);
    connect(&ping_, &QTimer::timeout, this, [this] { checkAlive(); });
    refusalSummary_.setSingleShot(true);
    connect(&refusalSummary_, &QTimer::timeout, this, [this] { logRefusalsNotShown(); });
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

QStringList WebPhoneServer::servedHosts() {
    QStringList hosts{QStringLiteral("127.0.0.1"), QStringLiteral("::1")};
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        const QString text = peerText(address);
        if (isLocalNetwork(address) && !hosts.contains(text)) {
            hosts.append(text);
        }
    }
    const QString name = QHostInfo::localHostName();
    if (!name.isEmpty()) {
        hosts.append(name.section('.', 0, 0) + QStringLiteral(".local"));
    }
    return hosts;
}

bool WebPhoneServer::isServedHost(const QString& host) {
    QHostAddress address;
    const QString given = address.setAddress(host) ? peerText(address) : host;
    return servedHosts().contains(given, Qt::CaseInsensitive);
}

bool WebPhoneServer::start(const WebCertificate& certificate, quint16 port, const QString& token) {
    stop();
    if (!certificate.ok()) {
        error_ = certificate.error.isEmpty() ? QStringLiteral("no certificate") : certificate.error;
        return false;
    }
    token_ = token;
    setCertificate(certificate);
    listener_ = std::make_unique<WebListener>([this](int descriptor) { accept(descriptor); },
                                              [this](const QString& why) { refusal(why); });
    sockets_ = std::make_unique<QWebSocketServer>(QStringLiteral("Zintor"),
                                                  QWebSocketServer::NonSecureMode);
    sockets_->setHandshakeTimeout(limits_.requestMs);
    connect(sockets_.get(), &QWebSocketServer::newConnection, this, [this] { onNewSocket(); });
    QString why;
    port_ = listener_->listen(port, why);
    if (port_ == 0) {
        error_ = QStringLiteral("cannot listen on port %1: %2").arg(port).arg(why);
        listener_.reset();
        sockets_.reset();
        return false;
    }
    error_.clear();
    return true;
}

void WebPhoneServer::setCertificate(const WebCertificate& certificate) {
    tls_ = QSslConfiguration::defaultConfiguration();
    tls_.setLocalCertificate(certificate.certificate);
    tls_.setPrivateKey(certificate.key);
    tls_.setProtocol(QSsl::TlsV1_2OrLater);
    // No client certificate is asked for: WebKit would wait for the user to pick one, and the
    // page would never load.
    tls_.setPeerVerifyMode(QSslSocket::VerifyNone);
}

void WebPhoneServer::stop() {
    dropPhone(QStringLiteral("web phone switched off"));
    listener_.reset();
    sockets_.reset();
    for (QObject* child : children()) {
        if (qobject_cast<QAbstractSocket*>(child) || qobject_cast<QWebSocket*>(child)) {
            delete child;
        }
    }
    port_ = 0;
}

void WebPhoneServer::accept(int descriptor) {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(descriptor);
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    const QString key = peerText(peer);
    const char* refused = !isLocalNetwork(peer)                    ? "not on the local network"
                          : connections_ >= limits_.maxConnections ? "too many connections"
                          : perPeer_.value(key) >= limits_.maxPerPeer
                              ? "too many connections from this address"
                              : nullptr;
    if (refused != nullptr) {
        refusal(QStringLiteral("connection from %1 refused (%2)").arg(key, refused));
        socket->abort();
        delete socket;
        return;
    }
    // Counted until the socket goes, whoever holds it by then (a WebSocket, the phone), by a
    // child of it: the WebSocket takes every connection of the socket's own signals away.
    ++connections_;
    ++perPeer_[key];
    connect(new QObject(socket), &QObject::destroyed, this, [this, key] {
        --connections_;
        if (--perPeer_[key] <= 0) {
            perPeer_.remove(key);
        }
    });
    auto* connection = new WebConnection(socket, tls_, limits_.handshakeMs, limits_.requestMs);
    connect(connection, &WebConnection::failed, this, [this, peer, key](const QString& why) {
        refusal(QStringLiteral("connection from %1 refused (%2)").arg(key, why));
    });
    connect(connection, &WebConnection::request, this,
            [this](WebConnection* from, const RequestHead& head) { onRequest(from, head); });
}

void WebPhoneServer::onRequest(WebConnection* connection, const RequestHead& head) {
    const QHostAddress peer = connection->socket()->peerAddress();
    if (head.field("upgrade").compare("websocket", Qt::CaseInsensitive) != 0) {
        servePage(connection, head);
        return;
    }
    const QUrl origin(QString::fromLatin1(head.field("origin")));
    if (QUrl::fromEncoded(head.target).path() != QLatin1String("/ws")) {
        connection->respond(404, "Not Found\n");
    } else if (origin.scheme() != QLatin1String("https") || origin.port(443) != port_ ||
               !isServedHost(origin.host())) {
        refusal(QStringLiteral("connection from %1 refused (foreign origin %2)")
                    .arg(peerText(peer), QString::fromLatin1(head.field("origin"))));
        connection->respond(403, "Forbidden\n");
    } else if (head.method != "GET" || head.field("sec-websocket-key").isEmpty() ||
               head.field("sec-websocket-version") != "13") {
        refusal(QStringLiteral("connection from %1 refused (not a WebSocket request)")
                    .arg(peerText(peer)));
        connection->respond(400, "Bad Request\n");
    } else if (sockets_) {
        // The WebSocket server reads the request again and answers it; the token and the
        // phone's place are checked when it hands over the socket (onNewSocket).
        QSslSocket* socket = connection->handOver();
        socket->setParent(this);
        socket->setProperty(kHandedOver, true);
        // Gone with its WebSocket (onNewSocket), or here when it never became one.
        QTimer::singleShot(2 * limits_.requestMs, socket, [socket] {
            if (socket->property(kHandedOver).toBool()) {
                socket->abort();
                socket->deleteLater();
            }
        });
        sockets_->handleConnection(socket);
    }
}

void WebPhoneServer::servePage(WebConnection* connection, const RequestHead& head) {
    const QString path = QUrl::fromEncoded(head.target).path();
    const bool manifest = path == QLatin1String("/manifest.webmanifest");
    if (path != QLatin1String("/") && !manifest && path != QLatin1String("/icon.svg") &&
        path != QLatin1String("/icon.png")) {
        connection->respond(404, "Not Found\n", {"Content-Type: text/plain"});
        return;
    }
    if (head.method != "GET") {
        connection->respond(405, "Method Not Allowed\n", {"Content-Type: text/plain"});
        return;
    }
    if (path.startsWith(QLatin1String("/icon."))) {  // the program's icon is no secret
        const bool svg = path.endsWith(QLatin1String(".svg"));
        connection->respond(200, svg ? iconSvg_ : iconPng_,
                            {svg ? "Content-Type: image/svg+xml" : "Content-Type: image/png",
                             "Cache-Control: max-age=86400"});
        return;
    }
    const QList<QByteArray> common{"Content-Type: text/html; charset=utf-8",
                                   "Referrer-Policy: no-referrer", "X-Frame-Options: DENY"};
    if (!sameToken(tokenOf(head.target), token_)) {
        const QHostAddress peer = connection->socket()->peerAddress();
        refusal(QStringLiteral("page refused to %1 (%2)").arg(peerText(peer), kWrongToken));
        connection->respond(403, kStalePage,
                            common + QList<QByteArray>{"Content-Security-Policy: default-src "
                                                       "'none'; style-src 'unsafe-inline'"});
        return;
    }
    if (manifest) {
        connection->respond(200,
                            QString::fromLatin1(kManifest)
                                .arg(QString::fromLatin1(QUrl::toPercentEncoding(token_)))
                                .toUtf8(),
                            {"Content-Type: application/manifest+json", "Cache-Control: no-store"});
        return;
    }
    QByteArray policy = QByteArray("Content-Security-Policy: ") + kPagePolicy;
    const QByteArray host = head.field("host");
    if (plainHost(host)) {
        policy += " wss://" + host;
    }
    connection->respond(200, page_, common + QList<QByteArray>{policy});
}

void WebPhoneServer::setToken(const QString& token) {
    token_ = token;
    dropPhone(QStringLiteral("new pairing token"));
}

void WebPhoneServer::refusal(const QString& what) {
    if (!refusalWindow_.isValid() || refusalWindow_.elapsed() >= limits_.refusalWindowMs) {
        logRefusalsNotShown();
        refusalWindow_.start();
        refusalsLogged_ = 0;
    }
    if (refusalsLogged_ < limits_.refusalLines) {
        ++refusalsLogged_;
        log_("Web phone: " + what.toStdString());
        return;
    }
    if (refusalsNotLogged_++ == 0) {
        refusalSummary_.start(static_cast<int>(limits_.refusalWindowMs - refusalWindow_.elapsed()) +
                              1);
    }
}

void WebPhoneServer::logRefusalsNotShown() {
    if (refusalsNotLogged_ > 0) {
        log_("Web phone: " + std::to_string(refusalsNotLogged_) +
             " more refusals not logged (at most " + std::to_string(limits_.refusalLines) + " in " +
             std::to_string(limits_.refusalWindowMs / 1000) + " s)");
        refusalsNotLogged_ = 0;
    }
    refusalSummary_.stop();
}

void WebPhoneServer::refuse(QWebSocket* socket, const char* why) {
    refusal(QStringLiteral("connection from %1 refused (%2)")
                .arg(peerText(socket->peerAddress()), why));
    // The close frame says why (the page shows it); a peer that does not close in turn is cut.
    connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(limits_.requestMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QString::fromLatin1(why));
}

void WebPhoneServer::onNewSocket() {
    while (sockets_ && sockets_->hasPendingConnections()) {
        QWebSocket* socket = sockets_->nextPendingConnection();
        socket->setParent(this);
        // The WebSocket does not delete the TLS socket it was made from: it goes with it.
        for (QSslSocket* from : findChildren<QSslSocket*>(Qt::FindDirectChildrenOnly)) {
            if (from->property(kHandedOver).toBool() && from->peerPort() == socket->peerPort() &&
                from->peerAddress() == socket->peerAddress()) {
                from->setProperty(kHandedOver, false);
                connect(socket, &QObject::destroyed, from, &QObject::deleteLater);
            }
        }
        const QUrl url = socket->requestUrl();
        if (!sameToken(QUrlQuery(url).queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded),
                       token_)) {
            refuse(socket, kWrongToken);
        } else if (phone_ != nullptr) {
            refuse(socket, kOtherPhone);
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
            log_("Web phone: phone connected from " +
                 peerText(socket->peerAddress()).toStdString());
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

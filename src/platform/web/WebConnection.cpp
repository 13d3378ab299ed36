#include "platform/web/WebConnection.h"

namespace zintor::web {

namespace {

const char* reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Error";
    }
}

}  // namespace

QByteArray RequestHead::field(QByteArrayView name) const {
    for (const auto& [fieldName, value] : fields) {
        if (fieldName == name) {
            return value;
        }
    }
    return {};
}

bool RequestHead::parse(QByteArrayView head, RequestHead& into) {
    into = RequestHead{};
    qsizetype lineEnd = head.indexOf("\r\n");
    const QList<QByteArray> parts =
        head.first(lineEnd < 0 ? head.size() : lineEnd).toByteArray().split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[1].startsWith('/') ||
        (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")) {
        return false;
    }
    into.method = parts[0];
    into.target = parts[1];
    while (lineEnd >= 0 && lineEnd + 2 < head.size()) {
        const qsizetype start = lineEnd + 2;
        lineEnd = head.indexOf("\r\n", start);
        const QByteArrayView line =
            head.sliced(start, (lineEnd < 0 ? head.size() : lineEnd) - start);
        const qsizetype colon = line.indexOf(':');
        if (line.isEmpty()) {
            break;
        }
        if (colon <= 0 || line[0] == ' ' || line[0] == '\t') {
            return false;  // no name, or a folded line
        }
        into.fields.append({line.first(colon).toByteArray().toLower(),
                            line.sliced(colon + 1).trimmed().toByteArray()});
    }
    return true;
}

WebConnection::WebConnection(QSslSocket* socket, const QSslConfiguration& tls, int handshakeMs,
                             int requestMs)
    : QObject(socket), socket_(socket), requestMs_(requestMs) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(stage_ == Stage::kHandshake ? QStringLiteral("no TLS handshake in time")
             : stage_ == Stage::kHead    ? QStringLiteral("no request in time")
                                         : QString());
    });
    deadline_.start(handshakeMs);
    // At most a request head is buffered before it is read (with its transaction, below).
    socket_->setReadBufferSize(kMaxHead);
    socket_->setSslConfiguration(tls);
    connect(socket_, &QAbstractSocket::disconnected, this, [this] { drop(); });
    connect(socket_, &QAbstractSocket::errorOccurred, this, [this] {
        if (stage_ == Stage::kHandshake) {
            fail(QStringLiteral("TLS handshake failed: ") + socket_->errorString());
        } else if (stage_ == Stage::kHead) {
            fail(QStringLiteral("closed before its request"));
        }
    });
    connect(socket_, &QSslSocket::encrypted, this, [this] {
        stage_ = Stage::kHead;
        deadline_.start(requestMs_);
        // Read, but kept until it is known to be a page request or a WebSocket's: the latter
        // goes to the WebSocket server unread (handOver()).
        socket_->startTransaction();
        readHead();
    });
    connect(socket_, &QIODevice::readyRead, this, [this] {
        if (stage_ == Stage::kHead) {
            readHead();
        }
    });
    socket_->startServerEncryption();
}

void WebConnection::readHead() {
    const qsizetype before = head_.size();
    head_ += socket_->read(kMaxHead - head_.size());
    // Only the new bytes are searched (and the three before them): linear in the head's size.
    const qsizetype end = head_.indexOf("\r\n\r\n", std::max<qsizetype>(0, before - 3));
    if (end < 0) {
        if (head_.size() >= kMaxHead) {
            fail(QStringLiteral("request headers over %1 bytes").arg(kMaxHead), 431);
        }
        return;
    }
    RequestHead head;
    if (!RequestHead::parse(QByteArrayView(head_).first(end + 2), head)) {
        fail(QStringLiteral("malformed request"), 400);
        return;
    }
    deadline_.stop();
    stage_ = Stage::kClosing;  // whatever follows, nothing more is read as a request
    emit request(this, head);
}

void WebConnection::respond(int status, const QByteArray& body,
                            const QList<QByteArray>& extraHeaders) {
    if (socket_->isTransactionStarted()) {
        socket_->commitTransaction();
    }
    stage_ = Stage::kClosing;
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                     "\r\nContent-Length: " + QByteArray::number(body.size()) +
                     "\r\nConnection: close\r\nCache-Control: no-store\r\n"
                     "X-Content-Type-Options: nosniff\r\n";
    for (const QByteArray& header : extraHeaders) {
        out += header + "\r\n";
    }
    out += "\r\n" + body;
    socket_->write(out);
    // Sends TLS's close_notify once the answer is out, then closes; the deadline ends a peer
    // that never reads it.
    socket_->disconnectFromHost();
    deadline_.start(requestMs_);
}

QSslSocket* WebConnection::handOver() {
    deadline_.stop();
    socket_->rollbackTransaction();
    socket_->setReadBufferSize(0);  // the WebSocket limits its frames itself
    socket_->disconnect(this);
    QSslSocket* socket = socket_;
    setParent(nullptr);
    deleteLater();
    return socket;
}

void WebConnection::fail(const QString& why, int status) {
    if (!why.isEmpty()) {
        emit failed(why);
    }
    if (status != 0 && socket_->state() == QAbstractSocket::ConnectedState) {
        respond(status, QByteArray(reasonPhrase(status)) + '\n', {"Content-Type: text/plain"});
        return;
    }
    drop();
}

void WebConnection::drop() {
    deadline_.stop();
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
}

}  // namespace zintor::web

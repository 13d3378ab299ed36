#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <utility>

namespace zintor::web {

// A request's line and headers, as far as the web phone reads them.
struct RequestHead {
    QByteArray method;
    QByteArray target;                                // "/ws?t=..."
    QList<std::pair<QByteArray, QByteArray>> fields;  // names in lower case, values trimmed

    // The first field of that (lower-case) name, "" when there is none.
    QByteArray field(QByteArrayView name) const;
    // Reads "METHOD TARGET HTTP/1.x" CR LF and "Name: value" CR LF lines, up to the empty line.
    // False for anything else (folded lines, a field without a colon, another protocol).
    static bool parse(QByteArrayView head, RequestHead& into);
};

// One peer's connection from its TCP accept until it is answered or handed over as a
// WebSocket. Every step has a deadline and a size limit, and nothing here waits:
//  - the TLS handshake must end within `handshakeMs`;
//  - then the request line and headers, at most kMaxHead bytes, within `requestMs`;
//  - an answer is written with its length and "Connection: close", and the connection ends
//    with TLS's close_notify once it is out, within `requestMs` again.
// The socket is deleted when the connection ends (finished()); the connection goes with it.
class WebConnection : public QObject {
    Q_OBJECT
  public:
    static constexpr qsizetype kMaxHead = 8192;

    // `socket` is connected and not encrypted yet; the connection becomes its child.
    WebConnection(QSslSocket* socket, const QSslConfiguration& tls, int handshakeMs, int requestMs);

    QSslSocket* socket() const { return socket_; }

    // The answer, then the end of the connection.
    void respond(int status, const QByteArray& body, const QList<QByteArray>& extraHeaders = {});
    // The socket with its request unread again, for the WebSocket server; the connection no
    // longer acts on it.
    QSslSocket* handOver();

  signals:
    void request(zintor::web::WebConnection* connection, const zintor::web::RequestHead& head);
    // Why it ended before an answer (the peer's fault), for the refusal log.
    void failed(const QString& why);

  private:
    enum class Stage { kHandshake, kHead, kClosing };
    void readHead();
    void fail(const QString& why, int status = 0);
    void drop();

    QSslSocket* socket_;
    QTimer deadline_;
    Stage stage_ = Stage::kHandshake;
    QByteArray head_;
    int requestMs_;
};

}  // namespace zintor::web

// The web phone's server as hostile peers meet it, over loopback: silent connections, endless
// and slow headers, floods, wrong tokens and origins; and its link letting go of keys.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>
#include <memory>

#include "ShellTestApp.h"
#include "platform/web/WebConnection.h"
#include "platform/web/WebPhoneLink.h"
#include "platform/web/WebPhoneServer.h"

namespace zintor::web {
namespace {

// Runs the event loop until `done` (true) or `ms` have passed (false).
bool runUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() <= ms) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class ServerTest : public ::testing::Test {
  protected:
    static constexpr int kDeadlineMs = 400;
    const QString token = QStringLiteral("abcdefghijklmnopqrstuvwxyz");

    void SetUp() override {
        ASSERT_TRUE(
            server.start(WebCertificate::loadOrCreate(folder.path(), {"127.0.0.1"}), 0, token));
        port = server.port();
    }

    // A client from `from` (a loopback address: each one is another peer); TLS unless `plain`.
    std::unique_ptr<QSslSocket> connectFrom(const char* from = "127.0.0.1", bool plain = false) {
        auto socket = std::make_unique<QSslSocket>();
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        socket->bind(QHostAddress(QString::fromLatin1(from)));
        if (plain) {
            socket->connectToHost(QHostAddress::LocalHost, port);
        } else {
            socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        }
        return socket;
    }

    // What the server answers to `request`, read until it closes the connection.
    QByteArray ask(const QByteArray& request, const char* from = "127.0.0.1") {
        auto socket = connectFrom(from);
        QByteArray answer;
        QObject::connect(socket.get(), &QSslSocket::encrypted, [&] { socket->write(request); });
        QObject::connect(socket.get(), &QIODevice::readyRead, [&] { answer += socket->readAll(); });
        EXPECT_TRUE(runUntil([&] { return socket->state() == QAbstractSocket::UnconnectedState; }))
            << "the server did not close after " << request.left(40).toStdString();
        return answer + socket->readAll();
    }

    QByteArray pageRequest(const QString& withToken, const QByteArray& more = {}) {
        return "GET /?t=" + withToken.toLatin1() +
               " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n" + more + "\r\n";
    }

    QByteArray socketRequest(const QString& withToken, const QByteArray& origin) {
        return "GET /ws?t=" + withToken.toLatin1() + " HTTP/1.1\r\nHost: " + origin.mid(8) +
               "\r\nOrigin: " + origin +
               "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
    }

    // Opens the page's socket with the token, the server's own certificate accepted.
    void openPage(QWebSocket& socket) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        socket.setSslConfiguration(tls);
        socket.open(QUrl("wss://127.0.0.1:" + QString::number(port) + "/ws?t=" + token));
    }

    int logged(const std::string& part) const {
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
            return l.find(part) != std::string::npos;
        }));
    }

    test::WithApp app;
    QTemporaryDir folder;
    std::vector<std::string> log;
    WebPhoneServer server{[this](const std::string& line) { log.push_back(line); },
                          {.handshakeMs = kDeadlineMs,
                           .requestMs = kDeadlineMs,
                           .maxConnections = 12,
                           .maxPerPeer = 4,
                           .refusalLines = 100}};
    quint16 port = 0;
};

TEST_F(ServerTest, AnswersWithTheirLengthAndClosesAndTellsAStaleAddressToScanTheNewCode) {
    const QByteArray page = ask(pageRequest(token));
    ASSERT_TRUE(page.startsWith("HTTP/1.1 200 OK\r\n")) << page.left(200).toStdString();
    const qsizetype bodyAt = page.indexOf("\r\n\r\n") + 4;
    EXPECT_TRUE(page.contains("\r\nConnection: close\r\n"));
    EXPECT_TRUE(page.contains("\r\nContent-Length: " + QByteArray::number(page.size() - bodyAt)));
    // WebKit wants the socket's address named for wss:, 'self' is not enough there.
    EXPECT_TRUE(page.contains("connect-src 'self' wss://127.0.0.1:" + QByteArray::number(port)));
    EXPECT_TRUE(page.contains("<title>Zintor phone</title>"));

    for (const QString& wrong : {QStringLiteral("abcdefghijklmnopqrstuvwxyZ"), QString()}) {
        const QByteArray stale = ask(pageRequest(wrong));
        EXPECT_TRUE(stale.startsWith("HTTP/1.1 403 ") && stale.contains("Scan the new code") &&
                    !stale.contains("Zintor phone</title>"));
    }
    // The installed app opens with the token (the browser test), which only its holder learns.
    EXPECT_TRUE(ask(pageRequest("x").replace("GET /?", "GET /manifest.webmanifest?"))
                    .startsWith("HTTP/1.1 403 "));
    EXPECT_TRUE(ask("GET /icon.png HTTP/1.1\r\n\r\n").contains("\r\n\r\n\x89PNG"));
    EXPECT_TRUE(ask("GET /favicon.ico HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 404 "));
    EXPECT_TRUE(ask("GET / HTTP/1.1\r\n folded\r\n\r\n").startsWith("HTTP/1.1 400 "));
    EXPECT_EQ(logged("page refused to 127.0.0.1 (missing or wrong pairing token)"), 3);
    EXPECT_TRUE(runUntil([&] { return server.connections() == 0; }));
}

TEST_F(ServerTest, SilentSlowAndEndlessPeersAreCutWhileThePageIsStillServed) {
    // Silent connections that go before their deadline, more than Qt's queue of 30 held: the
    // server goes on accepting.
    std::vector<std::unique_ptr<QSslSocket>> quiet;
    for (int i = 0; i < 40; ++i) {
        quiet.push_back(connectFrom(("127.0.1." + std::to_string(i)).c_str(), true));
    }
    runUntil([&] { return server.connections() == 12; }, 2000);
    EXPECT_EQ(server.connections(), 12);  // the cap in all
    quiet.clear();
    ASSERT_TRUE(runUntil([&] { return server.connections() == 0; }));
    EXPECT_TRUE(ask(pageRequest(token)).startsWith("HTTP/1.1 200"));
    // Out of file handles, accepting fails: it rests, and goes on. Not under the sanitizers:
    // their runtime opens a pipe to check an object's type, and here none can be opened.
#ifndef __SANITIZE_ADDRESS__
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const auto open = QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const rlimit few{static_cast<rlim_t>(open.size() - 1 + 4), files.rlim_max};  // 4 clients
    setrlimit(RLIMIT_NOFILE, &few);
    std::vector<std::unique_ptr<QSslSocket>> starving;
    for (int i = 0; i < 4; ++i) {
        starving.push_back(connectFrom(("127.0.2." + std::to_string(i)).c_str(), true));
    }
    EXPECT_TRUE(runUntil([&] { return logged("accept failed") > 0; }, 2000));
    starving.clear();
    setrlimit(RLIMIT_NOFILE, &files);
    EXPECT_TRUE(ask(pageRequest(token)).startsWith("HTTP/1.1 200"));
#endif

    // One address gets maxPerPeer; silent ones, before TLS or after it, are cut at the deadline.
    std::vector<std::unique_ptr<QSslSocket>> held;
    for (int i = 0; i < 6; ++i) {
        held.push_back(connectFrom("127.0.0.2", i % 2 == 0));
    }
    runUntil([&] { return logged("too many connections from this address") == 2; }, 2000);
    EXPECT_EQ(server.connections(), 4);
    EXPECT_TRUE(runUntil([&] { return server.connections() == 0; }, 3 * kDeadlineMs + 1000));
    EXPECT_TRUE(logged("(no TLS handshake in time)") >= 2 && logged("(no request in time)") >= 1);

    // A header that never ends is cut at 8 KiB with 431; a slow one at its deadline. Meanwhile
    // other peers are served.
    auto endless = connectFrom("127.0.0.3");
    auto slow = connectFrom("127.0.0.4");
    QByteArray endlessAnswer;
    qint64 sent = 0;
    QObject::connect(endless.get(), &QIODevice::readyRead,
                     [&] { endlessAnswer += endless->readAll(); });
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        if (endless->isEncrypted() && endless->encryptedBytesToWrite() < 65536 && sent < 8 << 20) {
            const QByteArray chunk = sent == 0 ? pageRequest(token).chopped(2) + "X: " : "a";
            sent += endless->write(chunk.repeated(sent == 0 ? 1 : 16384));
        }
        if (slow->isEncrypted()) {
            slow->write("G");
        }
    });
    feed.start(10);
    EXPECT_TRUE(
        ask(pageRequest(token, "X: " + QByteArray(7000, 'b') + "\r\n")).startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(runUntil([&] {
        return endless->state() == QAbstractSocket::UnconnectedState &&
               slow->state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(endlessAnswer.startsWith("HTTP/1.1 431 ")) << endlessAnswer.toStdString();
    EXPECT_LT(sent, 4 << 20);  // not read on to the end
    EXPECT_EQ(logged("(request headers over 8192 bytes)"), 1);
    EXPECT_EQ(logged("127.0.0.4 refused (no request in time)"), 1);
}

TEST_F(ServerTest, SocketsNeedAServedOriginWhateverTheHostHeaderAndRefusalsSayWhy) {
    const QByteArray own = "https://127.0.0.1:" + QByteArray::number(port);
    for (const QByteArray& foreign : {"https://localhost:" + QByteArray::number(port),
                                      "https://127.0.0.1:" + QByteArray::number(port + 1),
                                      "http://127.0.0.1:" + QByteArray::number(port)}) {
        EXPECT_TRUE(ask(socketRequest(token, foreign)).startsWith("HTTP/1.1 403 "))
            << foreign.toStdString();
    }
    EXPECT_EQ(logged("refused (foreign origin "), 3);

    // Wrong token, then a second phone: upgraded, and closed at once with the reason.
    const QByteArray wrong = ask(socketRequest("abcdefghijklmnopqrstuvwxyZ", own));
    EXPECT_TRUE(wrong.startsWith("HTTP/1.1 101 ") && wrong.contains(WebPhoneServer::kWrongToken));
    QWebSocket phone(QString::fromLatin1(own));
    openPage(phone);
    ASSERT_TRUE(runUntil([&] { return server.phoneConnected(); }));
    const QByteArray second = ask(socketRequest(token, own), "127.0.0.5");
    EXPECT_TRUE(second.contains(WebPhoneServer::kOtherPhone) && !second.contains("{"));
    EXPECT_TRUE(server.phoneConnected());
    phone.close();
    EXPECT_TRUE(runUntil([&] { return !server.phoneConnected() && server.connections() == 0; }));
}

TEST_F(ServerTest, RefusalsAreLoggedAtABoundedRateAndCounted) {
    WebPhoneServer bounded([this](const std::string& line) { log.push_back(line); },
                           {.refusalLines = 3, .refusalWindowMs = 1500});
    ASSERT_TRUE(bounded.start(WebCertificate::loadOrCreate(folder.path()), 0, token));
    port = bounded.port();
    log.clear();
    for (int i = 0; i < 12; ++i) {
        ask(pageRequest("wrong"));
    }
    EXPECT_TRUE(runUntil([&] { return logged("more refusals not logged") > 0; }, 4000));
    int refusals = logged("page refused to");
    for (const std::string& line : log) {  // "Web phone: N more refusals not logged ..."
        refusals +=
            line.find("more refusals") != std::string::npos ? std::stoi(line.substr(11)) : 0;
    }
    EXPECT_EQ(refusals, 12);
    EXPECT_LE(logged("page refused to"), 6);
}

TEST_F(ServerTest, AKeyThePageStopsConfirmingIsReleasedByAPhoneLine) {
    WebPhoneLink link(server, [](const std::string&) {});
    std::string received;
    link.setListener([&](SerialEvent event) {
        if (event == SerialEvent::kReceive) {
            received += link.takeReceived();
        }
    });
    QWebSocket page("https://127.0.0.1:" + QString::number(port));
    openPage(page);
    ASSERT_TRUE(runUntil([&] {
                    return server.phoneConnected() &&
                           page.state() == QAbstractSocket::ConnectedState;
                }) &&
                link.open(16));
    link.setReceiveArmed(true);
    link.write("AT+CMER=3,2,0,0,0\r\n");
    auto key = [&](const char* what) {
        page.sendTextMessage(QString::fromLatin1(what));
        page.flush();
    };
    key(R"({"do":"key","code":">","down":true})");
    ASSERT_TRUE(runUntil([&] { return received.find("+CKEV: >,1") != std::string::npos; }));
    QTimer confirm;  // held, and said so, for three times the limit
    QObject::connect(&confirm, &QTimer::timeout, [&] { key(R"({"do":"hold","code":">"})"); });
    confirm.start(WebPhoneLink::kHoldLostMs / 4);
    runUntil([] { return false; }, 3 * WebPhoneLink::kHoldLostMs);
    EXPECT_EQ(received.find("+CKEV: >,0"), std::string::npos);
    confirm.stop();
    QElapsedTimer silent;
    silent.start();
    ASSERT_TRUE(runUntil([&] { return received.find("+CKEV: >,0") != std::string::npos; }));
    std::printf("released %lld ms after the confirmations stopped\n", silent.elapsed());
    // Released once; a key let go by the page needs no other release.
    key(R"({"do":"hold","code":">"})");
    key(R"({"do":"key","code":"5","down":true})");
    key(R"({"do":"key","code":"5","down":false})");
    runUntil([] { return false; }, 2 * WebPhoneLink::kHoldLostMs);
    EXPECT_EQ(received.substr(received.find("+CKEV: >,0")),
              "+CKEV: >,0\r\n+CKEV: 5,1\r\n+CKEV: 5,0\r\n");
}

}  // namespace
}  // namespace zintor::web

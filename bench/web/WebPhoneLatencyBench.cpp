// Measures the time from a key message leaving a WebSocket client (as the page sends it on a
// tap) to the phone line "+CKEV: 5,1" being taken from the web phone's serial link, as the
// program's receive handler takes it, over loopback TLS. Prints min, p50, p95, p99 and max in
// milliseconds; the same for a touchpad move to the program's touch listener. Exits with 2 when
// either p99 is above 20 ms.
//   zintor_webphone_latency_bench [taps]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/web/WebCertificate.h"
#include "platform/web/WebPhoneLink.h"
#include "platform/web/WebPhoneServer.h"

using namespace zintor;
using namespace zintor::web;

namespace {
// Runs the loop until `done` or 5 s; false on time-out.
bool runUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int taps = argc > 1 ? std::atoi(argv[1]) : 500;
    QTemporaryDir folder;
    const WebCertificate certificate = WebCertificate::loadOrCreate(folder.path());
    WebPhoneServer server([](const std::string&) {});
    const QString token = QStringLiteral("benchmarktokenbenchmarktoken");
    if (!server.start(certificate, 0, token)) {
        std::fprintf(stderr, "cannot start: %s\n", qPrintable(server.error()));
        return 1;
    }
    WebPhoneLink link(server, [](const std::string&) {});
    std::string received;
    link.setListener([&](SerialEvent event) {
        if (event == SerialEvent::kReceive) {
            received += link.takeReceived();
        }
    });
    const QString origin = QStringLiteral("https://127.0.0.1:%1").arg(server.port());
    QWebSocket client(origin);
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    client.setSslConfiguration(ssl);
    client.open(QUrl(QStringLiteral("wss://127.0.0.1:%1/ws?t=%2").arg(server.port()).arg(token)));
    if (!runUntil([&] { return server.phoneConnected(); }) || !link.open(16)) {
        std::fprintf(stderr, "the client did not connect\n");
        return 1;
    }
    link.setReceiveArmed(true);
    link.write("AT+CMER=3,2,0,0,0\r\n");
    runUntil([&] { return received.find("OK") != std::string::npos; });

    // The touchpad's moves, to the program's listener (TouchPad in the real program).
    struct Moves : PhoneExtrasEvents {
        int count = 0;
        void touchMoved(int, int) override { ++count; }
        void touchTapped(bool) override {}
        void touchScrolled(int, int) override {}
        void touchHeld(bool) override {}
        void keyboardTyped(const std::string&) override {}
    } moves;
    link.setListener(&moves);

    std::vector<double> ms, moveMs;
    QElapsedTimer clock;
    for (int i = 0; i < taps; ++i) {
        const int before = moves.count;
        clock.start();
        client.sendTextMessage(QStringLiteral(R"({"do":"move","dx":3,"dy":-2})"));
        client.flush();
        if (!runUntil([&] { return moves.count > before; })) {
            std::fprintf(stderr, "no move %d\n", i);
            return 1;
        }
        moveMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    for (int i = 0; i < taps; ++i) {
        const bool down = i % 2 == 0;
        const std::string line = down ? "+CKEV: 5,1\r\n" : "+CKEV: 5,0\r\n";
        received.clear();
        clock.start();
        client.sendTextMessage(down ? QStringLiteral(R"({"do":"key","code":"5","down":true})")
                                    : QStringLiteral(R"({"do":"key","code":"5","down":false})"));
        client.flush();
        if (!runUntil([&] { return received.find(line) != std::string::npos; })) {
            std::fprintf(stderr, "no line for tap %d\n", i);
            return 1;
        }
        ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(moveMs.begin(), moveMs.end());
    auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
    auto moveAt = [&](double q) {
        return moveMs[static_cast<std::size_t>(q * (moveMs.size() - 1))];
    };
    double load = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) {
            load = 0;
        }
        std::fclose(f);
    }
    std::printf(
        "tap -> line, %d taps (load %.1f): min %.2f  p50 %.2f  p95 %.2f  p99 %.2f  max %.2f ms\n",
        taps, load, ms.front(), at(0.5), at(0.95), at(0.99), ms.back());
    std::printf("move -> touchpad, %d moves: min %.2f  p50 %.2f  p95 %.2f  p99 %.2f  max %.2f ms\n",
                taps, moveMs.front(), moveAt(0.5), moveAt(0.95), moveAt(0.99), moveMs.back());
    return at(0.99) <= 20.0 && moveAt(0.99) <= 20.0 ? 0 : 2;
}

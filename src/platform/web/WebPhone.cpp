#include "WebPhone.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QTimer>

namespace zintor::web {

WebPhone::WebPhone(SettingsStore& settings, PortRegistry& systemPorts, SerialLink& serialPorts,
                   QString configFolder, Diagnostic log)
    : settings_(settings),
      configFolder_(std::move(configFolder)),
      log_(std::move(log)),
      server_(log_),
      link_(server_, log_),
      registry_(
          systemPorts, [this] { return enabled() ? comNumber() : 0; },
          [this] { return server_.phoneConnected(); }),
      switch_(serialPorts, link_, [this] { return enabled() ? comNumber() : 0; }) {
    link_.setPresenceListener([this] { portChangedLater(); });
    if (settings_.read("WebPhone", "0") == "1") {
        setEnabled(true);
    }
}

WebPhone::~WebPhone() {
    link_.setPresenceListener({});
}

int WebPhone::comNumber() const {
    bool ok = false;
    const int number = QString::fromStdString(settings_.read("WebPhoneCom", "")).toInt(&ok);
    return ok && number >= 1 && number <= 255 ? number : kDefaultCom;
}

QString WebPhone::makeToken() {
    QByteArray bytes(kTokenBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                          kTokenBytes / 4);
    for (int i = kTokenBytes / 4 * 4; i < kTokenBytes; ++i) {
        bytes[i] = static_cast<char>(QRandomGenerator::system()->bounded(256));
    }
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool WebPhone::setEnabled(bool on) {
    settings_.write("WebPhone", on ? "1" : "0");
    settings_.flush();
    if (!on) {
        server_.stop();
        portChangedLater();
        return true;
    }
    if (!certificate_.ok()) {
        certificate_ = WebCertificate::loadOrCreate(configFolder_);
    }
    QString token = QString::fromStdString(settings_.read("WebPhoneToken", ""));
    if (token.size() < (kTokenBytes * 4 + 2) / 3) {  // none, or too short to be ours
        token = makeToken();
        settings_.write("WebPhoneToken", token.toStdString());
        settings_.flush();
    }
    bool ok = false;
    int port = QString::fromStdString(settings_.read("WebPhonePort", "")).toInt(&ok);
    if (!ok || port < 0 || port > 65535) {
        port = kDefaultPort;
    }
    if (!server_.start(certificate_, static_cast<quint16>(port), token)) {
        error_ = server_.error();
        log_("Web phone: cannot start: " + error_.toStdString());
        return false;
    }
    log_("Web phone: open " + address().toStdString() + " on the phone (certificate SHA-256 " +
         fingerprint().toStdString() + "); it is port COM" + std::to_string(comNumber()));
    portChangedLater();
    return true;
}

void WebPhone::newToken() {
    const QString token = makeToken();
    settings_.write("WebPhoneToken", token.toStdString());
    settings_.flush();
    server_.setToken(token);
    log_("Web phone: new pairing token; the old address no longer works");
}

QString WebPhone::localAddress() const {
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
            WebPhoneServer::isLocalNetwork(address)) {
            return address.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

QString WebPhone::address() const {
    return QStringLiteral("https://%1:%2/?t=%3")
        .arg(localAddress())
        .arg(server_.port())
        .arg(server_.token());
}

void WebPhone::portChangedLater() {
    // Not from inside the socket's signals: the program may connect at once.
    QTimer::singleShot(0, this, [this] { registry_.webPortChanged(); });
}

}  // namespace zintor::web

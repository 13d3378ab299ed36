#include "platform/web/WebPhone.h"

#include <QDir>
#include <QFile>
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
    renewCheck_.setInterval(kRenewCheckMs);
    connect(&renewCheck_, &QTimer::timeout, this, [this] { renewCertificate(); });
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
        renewCheck_.stop();
        server_.stop();
        portChangedLater();
        return true;
    }
    renewCertificate();
    const QString token = readToken();
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
    renewCheck_.start();
    portChangedLater();
    return true;
}

void WebPhone::renewCertificate() {
    const WebCertificate certificate =
        WebCertificate::loadOrCreate(configFolder_, WebPhoneServer::servedHosts());
    if (!certificate.ok() && certificate_.ok()) {
        log_("Web phone: cannot renew the certificate: " + certificate.error.toStdString());
        return;
    }
    const bool changed = certificate_.ok() && certificate.fingerprint() != fingerprint();
    certificate_ = certificate;
    if (certificate.renewed && certificate.ok()) {
        log_("Web phone: new certificate, SHA-256 " + fingerprint().toStdString() +
             " (the browser asks once more)");
    }
    if (changed && server_.running()) {
        server_.setCertificate(certificate_);
        emit addressChanged();
    }
}

QString WebPhone::readToken() {
    const int shortest = (kTokenBytes * 4 + 2) / 3;
    const QString path = configFolder_ + "/webphone-token";
    QFile file(path);
    QString token =
        file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed() : QString();
    const QString old = QString::fromStdString(settings_.read("WebPhoneToken", ""));
    if (token.size() < shortest) {  // none, or too short to be ours
        token = old.size() >= shortest ? old : makeToken();
        if (!saveToken(token)) {
            return token;  // kept where it was for now
        }
    } else {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!old.isEmpty()) {
        settings_.write("WebPhoneToken", "");
        settings_.flush();
        log_("Web phone: the pairing token moved from the settings file to " + path.toStdString());
    }
    return token;
}

bool WebPhone::saveToken(const QString& token) {
    const QString path = configFolder_ + "/webphone-token";
    if (!QDir().mkpath(configFolder_) || !writeOwnerOnlyFile(path, token.toLatin1() + '\n')) {
        log_("Web phone: cannot write " + path.toStdString());
        return false;
    }
    return true;
}

void WebPhone::newToken() {
    const QString token = makeToken();
    saveToken(token);
    server_.setToken(token);
    log_("Web phone: new pairing token; the old address no longer works");
    emit addressChanged();
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

#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/ports/LogSink.h"
#include "core/ports/SettingsStore.h"
#include "platform/web/SerialSwitch.h"
#include "platform/web/WebCertificate.h"
#include "platform/web/WebPhoneLink.h"
#include "platform/web/WebPhoneServer.h"
#include "platform/web/WebPortRegistry.h"

namespace zintor::web {

// The web phone as a whole: switched on and off, its certificate, pairing token and address,
// and its place among the serial ports. Settings (section [Settings]):
//   WebPhone       1 = on (default 0)
//   WebPhonePort   the HTTPS port (default 47814)
//   WebPhoneCom    the COM number it takes (default 16, the highest the port menu offers)
// The pairing token is kept beside the certificate, in webphone-token, readable by the user
// only (one found in the settings file, where an older Zintor kept it, is moved there).
// The certificate is checked every kRenewCheckMs and renewed before it runs out.
class WebPhone : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 47814;
    static constexpr int kDefaultCom = 16;
    static constexpr int kTokenBytes = 18;  // 144 bits
    static constexpr int kRenewCheckMs = 3600 * 1000;

    // `configFolder` holds the certificate and the token. Switches itself on when the settings say
    // so.
    WebPhone(SettingsStore& settings, PortRegistry& systemPorts, SerialLink& serialPorts,
             QString configFolder, Diagnostic log);
    ~WebPhone() override;

    // What the program uses in place of the system's ports and serial link.
    PortRegistry& registry() { return registry_; }
    SerialLink& serial() { return switch_; }
    PhoneExtras& extras() { return link_; }

    bool enabled() const { return server_.running(); }
    // Saves the choice; false (with error()) when the page cannot be served.
    bool setEnabled(bool on);
    void newToken();
    const QString& error() const { return error_; }

    // https://<this machine's local-network address>:<port>/?t=<token>
    QString address() const;
    QString fingerprint() const { return certificate_.fingerprint(); }
    int comNumber() const;

    static QString makeToken();

  signals:
    // A new token or a new certificate: what the address window shows changed.
    void addressChanged();

  private:
    QString localAddress() const;
    QString readToken();
    bool saveToken(const QString& token);
    void renewCertificate();
    void portChangedLater();

    SettingsStore& settings_;
    QString configFolder_;
    Diagnostic log_;
    WebCertificate certificate_;
    WebPhoneServer server_;
    WebPhoneLink link_;
    WebPortRegistry registry_;
    SerialSwitch switch_;
    QTimer renewCheck_;
    QString error_;
};

}  // namespace zintor::web

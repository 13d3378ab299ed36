#pragma once

#include <QByteArray>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>

namespace zintor::web {

// The web phone's TLS identity: a self-signed certificate with an EC P-256 key, made on first
// use and kept in `folder` (webphone-cert.pem, and webphone-key.pem readable by the user
// only). Made as phone browsers accept such a certificate once the user has: a subject
// alternative name for every host it serves, for server authentication only, not a CA, valid
// for kValidDays. One that runs out within kRenewDays, or misses a host, is made anew.
struct WebCertificate {
    static constexpr int kValidDays = 397;  // Safari takes at most 398
    static constexpr int kRenewDays = 30;

    QSslCertificate certificate;
    QSslKey key;
    QString error;         // why there is none
    bool renewed = false;  // made anew by loadOrCreate (a new fingerprint to show)

    bool ok() const { return !certificate.isNull() && !key.isNull(); }
    // SHA-256 of the certificate, "AB:CD:...", as browsers show it.
    QString fingerprint() const;

    // `hosts`: addresses ("192.168.1.5", "::1") and names ("pc.local") it must name.
    static WebCertificate loadOrCreate(const QString& folder, const QStringList& hosts = {});
};

// Writes a file that only its owner may read or write (also when it was there before).
bool writeOwnerOnlyFile(const QString& path, const QByteArray& bytes);

}  // namespace zintor::web

#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

namespace zintor::web {

// The web phone's TLS identity: a self-signed certificate with an EC P-256 key, made on first
// use and kept in `folder` (webphone-cert.pem, webphone-key.pem readable by the user only).
struct WebCertificate {
    QSslCertificate certificate;
    QSslKey key;
    QString error;  // why there is none

    bool ok() const { return !certificate.isNull() && !key.isNull(); }
    // SHA-256 of the certificate, "AB:CD:...", as browsers show it.
    QString fingerprint() const;

    static WebCertificate loadOrCreate(const QString& folder);
};

}  // namespace zintor::web

#include "platform/web/WebCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <memory>

namespace zintor::web {

namespace {

template <auto freeFunction>
struct Deleter {
    template <typename T>
    void operator()(T* p) const {
        freeFunction(p);
    }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Deleter<X509_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO_free>>;

QByteArray bioBytes(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

bool addExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    const bool added = extension != nullptr && X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

QString altNames(const QStringList& hosts) {
    QStringList names;
    for (const QString& host : hosts) {
        names.append((QHostAddress(host).isNull() ? "DNS:" : "IP:") + host);
    }
    return names.join(',');
}

// A new key and a certificate for it, signed by itself; PEM texts.
bool makeCertificate(const QStringList& hosts, QByteArray& certPem, QByteArray& keyPem) {
    Key key(EVP_EC_gen("P-256"));
    Cert cert(X509_new());
    if (!key || !cert) {
        return false;
    }
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    QFile random("/dev/urandom");
    if (!random.open(QIODevice::ReadOnly) ||
        random.read(reinterpret_cast<char*>(serial), 16) != 16) {
        return false;
    }
    serial[0] &= 0x7f;  // positive
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get()));
    BN_free(number);
    // From an hour ago (a phone's clock a little behind), kValidDays in all.
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()),
                    static_cast<long>(WebCertificate::kValidDays) * 24 * 3600 - 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Zintor web phone"), -1, -1,
                               0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    const QByteArray names = altNames(hosts).toLatin1();
    if (!addExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE") ||
        !addExtension(cert.get(), NID_key_usage, "critical,digitalSignature") ||
        !addExtension(cert.get(), NID_ext_key_usage, "serverAuth") ||
        !addExtension(cert.get(), NID_subject_key_identifier, "hash") ||
        (!names.isEmpty() && !addExtension(cert.get(), NID_subject_alt_name, names.constData())) ||
        X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) {
        return false;
    }
    Bio certBio(BIO_new(BIO_s_mem()));
    Bio keyBio(BIO_new(BIO_s_mem()));
    if (PEM_write_bio_X509(certBio.get(), cert.get()) == 0 ||
        PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) ==
            0) {
        return false;
    }
    certPem = bioBytes(certBio.get());
    keyPem = bioBytes(keyBio.get());
    return true;
}

// Good for a while yet, as long as we make them now, and naming every host.
bool stillGood(const QSslCertificate& certificate, const QStringList& hosts) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (certificate.expiryDate() < now.addDays(WebCertificate::kRenewDays) ||
        certificate.effectiveDate().daysTo(certificate.expiryDate()) > WebCertificate::kValidDays) {
        return false;
    }
    const auto named = certificate.subjectAlternativeNames();
    for (const QString& host : hosts) {
        const QHostAddress address(host);
        const QString given = address.isNull() ? host : address.toString();
        if (!named.values(address.isNull() ? QSsl::DnsEntry : QSsl::IpAddressEntry)
                 .contains(given, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool writeOwnerOnlyFile(const QString& path, const QByteArray& bytes) {
    const QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile file(path);
    // A file that was there is closed to others before it gets the new bytes; a new one is
    // made with `mode` from the start.
    if ((file.exists() && !file.setPermissions(mode)) ||
        !file.open(QIODevice::WriteOnly | QIODevice::Truncate, mode)) {
        return false;
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

QString WebCertificate::fingerprint() const {
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

WebCertificate WebCertificate::loadOrCreate(const QString& folder, const QStringList& hosts) {
    WebCertificate result;
    const QString certPath = folder + "/webphone-cert.pem";
    const QString keyPath = folder + "/webphone-key.pem";
    QFile certFile(certPath);
    QFile keyFile(keyPath);
    if (certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly)) {
        result.certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
        result.key = QSslKey(keyFile.readAll(), QSsl::Ec, QSsl::Pem);
        // A key left readable by others by an older Zintor is closed to them.
        keyFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (result.ok() && stillGood(result.certificate, hosts)) {
            return result;
        }
        result.certificate = QSslCertificate();
        result.key = QSslKey();
    }
    QByteArray certPem;
    QByteArray keyPem;
    if (!QDir().mkpath(folder)) {
        result.error = "cannot make the folder " + folder;
        return result;
    }
    if (!makeCertificate(hosts, certPem, keyPem)) {
        result.error = "cannot make a certificate (OpenSSL)";
        return result;
    }
    QFile cert(certPath);  // readable by all: every peer is sent it
    if (!writeOwnerOnlyFile(keyPath, keyPem) ||
        !cert.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        cert.write(certPem) != certPem.size() || !cert.flush()) {
        result.error = "cannot write " + certPath + " or " + keyPath;
        return result;
    }
    result.certificate = QSslCertificate(certPem, QSsl::Pem);
    result.key = QSslKey(keyPem, QSsl::Ec, QSsl::Pem);
    result.renewed = true;
    return result;
}

}  // namespace zintor::web

#include "WebCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <QDir>
#include <QFile>
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

// A new key and a certificate for it, signed by itself, valid for ten years; PEM texts.
bool makeCertificate(QByteArray& certPem, QByteArray& keyPem) {
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
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Zintor web phone"), -1, -1,
                               0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) {
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

bool writeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions mode) {
    QFile file(path);
    // A file made now gets `mode` from the start; one that was there is set to it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, mode) ||
        !file.setPermissions(mode)) {
        return false;
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

QString WebCertificate::fingerprint() const {
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

WebCertificate WebCertificate::loadOrCreate(const QString& folder) {
    WebCertificate result;
    const QString certPath = folder + "/webphone-cert.pem";
    const QString keyPath = folder + "/webphone-key.pem";
    QFile certFile(certPath);
    QFile keyFile(keyPath);
    if (certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly)) {
        result.certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
        result.key = QSslKey(keyFile.readAll(), QSsl::Ec, QSsl::Pem);
        if (result.ok()) {
            return result;
        }
    }
    QByteArray certPem;
    QByteArray keyPem;
    if (!QDir().mkpath(folder)) {
        result.error = "cannot make the folder " + folder;
        return result;
    }
    if (!makeCertificate(certPem, keyPem)) {
        result.error = "cannot make a certificate (OpenSSL)";
        return result;
    }
    if (!writeFile(keyPath, keyPem, QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        !writeFile(certPath, certPem,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther)) {
        result.error = "cannot write " + certPath + " or " + keyPath;
        return result;
    }
    result.certificate = QSslCertificate(certPem, QSsl::Pem);
    result.key = QSslKey(keyPem, QSsl::Ec, QSsl::Pem);
    return result;
}

}  // namespace zintor::web

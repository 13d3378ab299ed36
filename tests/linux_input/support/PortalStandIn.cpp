#include "PortalStandIn.h"

#include <QTimer>

namespace zintor::testing {

PortalStandIn::PortalStandIn(const std::string& address)
    : bus_(QDBusConnection::connectToBus(QString::fromStdString(address),
                                         QStringLiteral("portal-stand-in"))) {
    ok_ =
        bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop")) &&
        bus_.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
}

PortalStandIn::~PortalStandIn() {
    QDBusConnection::disconnectFromBus(QStringLiteral("portal-stand-in"));
}

QDBusObjectPath PortalStandIn::answer(const QDBusMessage& message, const QVariantMap& options,
                                      uint response, const QVariantMap& results) {
    QString sender = message.service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
                         QLatin1Char('/') +
                         options.value(QStringLiteral("handle_token")).toString();
    // The Response follows the method's reply, as from the real portal.
    QTimer::singleShot(0, this, [this, path, response, results] {
        QDBusMessage signal = QDBusMessage::createSignal(
            path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        bus_.send(signal);
    });
    return QDBusObjectPath(path);
}

QDBusObjectPath PortalStandIn::CreateSession(const QVariantMap& options,
                                             const QDBusMessage& message) {
    calls.push_back("CreateSession");
    session_ = QStringLiteral("/org/freedesktop/portal/desktop/session/1/") +
               options.value(QStringLiteral("session_handle_token")).toString();
    return answer(message, options, 0, {{QStringLiteral("session_handle"), session_}});
}

QDBusObjectPath PortalStandIn::SelectDevices(const QDBusObjectPath& session,
                                             const QVariantMap& options,
                                             const QDBusMessage& message) {
    calls.push_back("SelectDevices types=" + options.value("types").toString().toStdString() +
                    " persist_mode=" + options.value("persist_mode").toString().toStdString() +
                    " restore_token=" + options.value("restore_token").toString().toStdString() +
                    (session.path() == session_ ? "" : " (unknown session)"));
    return answer(message, options, 0, {});
}

QDBusObjectPath PortalStandIn::Start(const QDBusObjectPath& session, const QString&,
                                     const QVariantMap& options, const QDBusMessage& message) {
    calls.push_back(std::string("Start") +
                    (session.path() == session_ ? "" : " (unknown session)"));
    return answer(message, options, startResponse,
                  {{QStringLiteral("devices"), 3u}, {QStringLiteral("restore_token"), nextToken}});
}

void PortalStandIn::NotifyKeyboardKeysym(const QDBusObjectPath&, const QVariantMap&, int keysym,
                                         uint state) {
    calls.push_back("key " + std::to_string(keysym) + " " + std::to_string(state));
}

void PortalStandIn::NotifyPointerMotion(const QDBusObjectPath&, const QVariantMap&, double dx,
                                        double dy) {
    calls.push_back("motion " + QString::number(dx).toStdString() + "," +
                    QString::number(dy).toStdString());
}

void PortalStandIn::NotifyPointerButton(const QDBusObjectPath&, const QVariantMap&, int button,
                                        uint state) {
    calls.push_back("button " + std::to_string(button) + " " + std::to_string(state));
}

void PortalStandIn::closeSession() {
    bus_.send(QDBusMessage::createSignal(session_, QStringLiteral("org.freedesktop.portal.Session"),
                                         QStringLiteral("Closed")));
}

}  // namespace zintor::testing

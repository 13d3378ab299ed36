#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <string>
#include <vector>

namespace zintor::testing {

// A STAND-IN for xdg-desktop-portal's RemoteDesktop interface (no real portal runs headless
// here), on a connection of its own to the bus at `address`. It answers every request at once
// through the Request object's Response signal, after the method's reply, as the portal does, and
// records the calls: "CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=t",
// "Start", "key 97 1", "motion -3,0", "button 272 1".
class PortalStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint version READ version)

  public:
    explicit PortalStandIn(const std::string& address)
        : bus_(QDBusConnection::connectToBus(QString::fromStdString(address), "portal")) {
        ok_ = bus_.registerService("org.freedesktop.portal.Desktop") &&
              bus_.registerObject(
                  "/org/freedesktop/portal/desktop", this,
                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    }
    ~PortalStandIn() override { QDBusConnection::disconnectFromBus("portal"); }

    bool ok() const { return ok_; }
    uint version() const { return 2; }
    std::vector<std::string> calls;
    uint startResponse = 0;  // what Start answers: 0 allowed, 1 refused by the user
    // Ends the running session as a desktop does when the user revokes it.
    void closeSession() {
        bus_.send(QDBusMessage::createSignal(session_, "org.freedesktop.portal.Session", "Closed"));
    }

  public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        calls.push_back("CreateSession");
        session_ = "/org/freedesktop/portal/desktop/session/1/" +
                   options.value("session_handle_token").toString();
        return answer(message, options, 0, {{"session_handle", session_}});
    }
    QDBusObjectPath SelectDevices(const QDBusObjectPath& session, const QVariantMap& options,
                                  const QDBusMessage& message) {
        const auto option = [&](const char* name) {
            return std::string(" ") + name + "=" + options.value(name).toString().toStdString();
        };
        calls.push_back("SelectDevices" + option("types") + option("persist_mode") +
                        option("restore_token") + known(session));
        return answer(message, options, 0, {});
    }
    QDBusObjectPath Start(const QDBusObjectPath& session, const QString&,
                          const QVariantMap& options, const QDBusMessage& message) {
        calls.push_back("Start" + known(session));
        return answer(message, options, startResponse,
                      {{"devices", 3u}, {"restore_token", "token-2"}});
    }
    void NotifyKeyboardKeysym(const QDBusObjectPath&, const QVariantMap&, int keysym, uint state) {
        calls.push_back("key " + std::to_string(keysym) + " " + std::to_string(state));
    }
    void NotifyPointerMotion(const QDBusObjectPath&, const QVariantMap&, double dx, double dy) {
        calls.push_back(QString("motion %1,%2").arg(dx).arg(dy).toStdString());
    }
    void NotifyPointerButton(const QDBusObjectPath&, const QVariantMap&, int button, uint state) {
        calls.push_back("button " + std::to_string(button) + " " + std::to_string(state));
    }

  private:
    std::string known(const QDBusObjectPath& session) const {
        return session.path() == session_ ? "" : " (unknown session)";
    }
    QDBusObjectPath answer(const QDBusMessage& message, const QVariantMap& options, uint response,
                           const QVariantMap& results) {
        const QString path = "/org/freedesktop/portal/desktop/request/" +
                             message.service().mid(1).replace('.', '_') + "/" +
                             options.value("handle_token").toString();
        QTimer::singleShot(0, this, [this, path, response, results] {
            QDBusMessage signal =
                QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
            bus_.send(signal << response << results);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection bus_;
    QString session_;
    bool ok_ = false;
};

}  // namespace zintor::testing

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <string>
#include <vector>

namespace zintor::testing {

// A STAND-IN for xdg-desktop-portal's RemoteDesktop interface (no real portal runs headless
// here): it owns org.freedesktop.portal.Desktop on a private bus, answers every request at once
// through the Request object's Response signal, as the portal does, and records the calls:
// "CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=t", "Start",
// "key 97 1", "motion -3,0", "button 272 1".
class PortalStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint version READ version)

  public:
    // Registers on the bus at `address` under a connection of its own.
    explicit PortalStandIn(const std::string& address);
    ~PortalStandIn() override;

    bool ok() const { return ok_; }
    uint version() const { return 2; }
    std::vector<std::string> calls;
    // What the next Start answers: 0 allowed, 1 refused by the user; the token it hands out.
    uint startResponse = 0;
    QString nextToken = QStringLiteral("token-2");
    // Ends the running session as a desktop does when the user revokes it.
    void closeSession();

  public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message);
    QDBusObjectPath SelectDevices(const QDBusObjectPath& session, const QVariantMap& options,
                                  const QDBusMessage& message);
    QDBusObjectPath Start(const QDBusObjectPath& session, const QString& parent,
                          const QVariantMap& options, const QDBusMessage& message);
    void NotifyKeyboardKeysym(const QDBusObjectPath& session, const QVariantMap& options,
                              int keysym, uint state);
    void NotifyPointerMotion(const QDBusObjectPath& session, const QVariantMap& options, double dx,
                             double dy);
    void NotifyPointerButton(const QDBusObjectPath& session, const QVariantMap& options, int button,
                             uint state);

  private:
    QDBusObjectPath answer(const QDBusMessage& message, const QVariantMap& options, uint response,
                           const QVariantMap& results);

    QDBusConnection bus_;
    QString session_;
    bool ok_ = false;
};

}  // namespace zintor::testing

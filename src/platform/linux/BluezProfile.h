#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusVirtualObject>
#include <functional>

namespace zintor {

// Zintor's serial-port profile at BlueZ's profile manager, in the client role: BlueZ connects a
// phone's serial service when asked to and hands the connected RFCOMM socket to the profile
// (Profile1.NewConnection). The profile is registered before every connection (BlueZ may have
// restarted meanwhile; one still registered is fine) and unregistered at the end.
// Every call to BlueZ is asynchronous.
class BluezProfile : public QDBusVirtualObject {
  public:
    struct Handlers {
        // A connection to `device` came: true when it is taken, then `socket` is the handler's;
        // one not taken is refused (and closed here).
        std::function<bool(const QString& device, int socket)> connection;
        // BlueZ ends the connection to `device` (the phone is unpaired, Bluetooth switched off).
        std::function<void(const QString& device)> disconnectionRequested;
    };

    BluezProfile(QDBusConnection bus, Handlers handlers);
    ~BluezProfile() override;
    BluezProfile(const BluezProfile&) = delete;
    BluezProfile& operator=(const BluezProfile&) = delete;

    // Asks `device` to connect the service `uuid` through this profile; `done` gets BlueZ's
    // answer (no error: connected). The socket arrives through Handlers::connection, as a rule
    // before `done`.
    void connectDevice(const QString& device, const QString& uuid,
                       std::function<void(const QDBusError& error)> done);

    // Longest wait for BlueZ to connect a phone (it gives up sooner on one out of range).
    static constexpr int kConnectTimeOutMs = 25000;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  private:
    void call(const QString& path, const QString& interface, const QString& method,
              const QList<QVariant>& arguments, int timeOutMs,
              std::function<void(const QDBusError&)> done);

    QDBusConnection bus_;
    Handlers handlers_;
    QStringList registered_;  // profile paths registered so far
};

}  // namespace zintor

#pragma once

#include <sys/socket.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PtyPhone.h"

using BluezInterfaces = QMap<QString, QVariantMap>;
using BluezObjects = QMap<QDBusObjectPath, BluezInterfaces>;
Q_DECLARE_METATYPE(BluezInterfaces)
Q_DECLARE_METATYPE(BluezObjects)

namespace zintor::test {

// A STAND-IN for BlueZ (no Bluetooth hardware or kernel support here) on the bus at `address`:
// its object manager lists an adapter and the devices the test adds; the profile manager takes
// profiles; a device asked to connect a profile answers as it is told: "phone" hands one end of a
// socket pair to the registered profile (NewConnection) with a virtual phone on the other end,
// "away" fails as a phone out of range does, "busy" as one whose service another program holds.
class BluezStandIn : public QDBusVirtualObject {
  public:
    explicit BluezStandIn(const std::string& address)
        : bus_(QDBusConnection::connectToBus(QString::fromStdString(address), "bluez")) {
        qDBusRegisterMetaType<BluezInterfaces>();
        qDBusRegisterMetaType<BluezObjects>();
        ok = bus_.registerService("org.bluez") &&
             bus_.registerVirtualObject("/", this, QDBusConnection::SubPath);
    }
    ~BluezStandIn() override { QDBusConnection::disconnectFromBus("bluez"); }

    bool ok = false;
    std::vector<std::unique_ptr<phone::PtyPhone>> phones;  // one for each connection made

    // A device at /org/bluez/hci0/dev_<address>; `behaviour`: "phone", "away" or "busy".
    QString addDevice(const QString& address, const QString& name, bool paired,
                      const QStringList& uuids, const std::string& behaviour, bool announce) {
        const QString path = "/org/bluez/hci0/dev_" + QString(address).replace(':', '_');
        devices_[path] = {
            {"Address", address}, {"Name", name}, {"Paired", paired}, {"UUIDs", uuids}};
        behaviour_[path] = behaviour;
        if (announce) {
            sendSignal("/", kObjects, "InterfacesAdded",
                       {object(path), QVariant::fromValue(interfaces(path))});
        }
        return path;
    }
    void setProperty(const QString& path, const QString& name, const QVariant& value) {
        devices_[path][name] = value;
        sendSignal(path, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                   {"org.bluez.Device1", QVariantMap{{name, value}}, QStringList{}});
    }
    void requestDisconnection(const QString& path) {
        bus_.send(profileCall("RequestDisconnection") << object(path));
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString member = message.member();
        const QList<QVariant> arguments = message.arguments();
        if (member == "GetManagedObjects") {
            BluezObjects objects{
                {QDBusObjectPath("/org/bluez/hci0"), {{"org.bluez.Adapter1", {}}}}};
            for (const auto& [path, properties] : devices_) {
                objects.insert(QDBusObjectPath(path), interfaces(path));
            }
            return bus_.send(message.createReply(QVariant::fromValue(objects)));
        }
        if (member == "RegisterProfile") {
            profile_ = {message.service(), arguments.at(0).value<QDBusObjectPath>().path()};
        }
        if (member != "ConnectProfile") {
            return bus_.send(message.createReply());
        }
        const std::string& behaviour = behaviour_[message.path()];
        if (behaviour != "phone") {
            return bus_.send(
                behaviour == "away"
                    ? message.createErrorReply("org.bluez.Error.Failed", "Host is down")
                    : message.createErrorReply("org.bluez.Error.AlreadyConnected",
                                               "Already Connected"));
        }
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
            return false;
        }
        phones.push_back(std::make_unique<phone::PtyPhone>(ends[0]));
        QDBusMessage connection = profileCall("NewConnection") << object(message.path());
        connection << QVariant::fromValue(QDBusUnixFileDescriptor(ends[1])) << QVariantMap{};
        ::close(ends[1]);
        setProperty(message.path(), "Connected", true);
        // BlueZ answers ConnectProfile once the profile took the connection.
        auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(connection), this);
        QObject::connect(
            pending, &QDBusPendingCallWatcher::finished, this, [this, pending, message] {
                pending->deleteLater();
                bus_.send(pending->isError() ? message.createErrorReply(pending->error())
                                             : message.createReply());
            });
        return true;
    }

  private:
    static constexpr const char* kObjects = "org.freedesktop.DBus.ObjectManager";
    static QVariant object(const QString& path) {
        return QVariant::fromValue(QDBusObjectPath(path));
    }
    void sendSignal(const QString& path, const QString& interface, const QString& name,
                    const QList<QVariant>& arguments) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(arguments);
        bus_.send(signal);
    }
    QDBusMessage profileCall(const QString& method) const {
        return QDBusMessage::createMethodCall(profile_.first, profile_.second, "org.bluez.Profile1",
                                              method);
    }
    BluezInterfaces interfaces(const QString& path) {
        return {{"org.bluez.Device1", devices_[path]}};
    }

    QDBusConnection bus_;
    std::map<QString, QVariantMap> devices_;
    std::map<QString, std::string> behaviour_;
    std::pair<QString, QString> profile_;  // who registered it, and where
};

}  // namespace zintor::test

#include "platform/linux/BluezDevices.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace zintor {
namespace {

const QString kDevice = QStringLiteral("org.bluez.Device1");
const std::string kDevicePrefix = "bluez:";
const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
// BlueZ answers its object list at once; a bus that does not is not waited for long.
constexpr int kListTimeOutMs = 5000;

// a{sa{sv}}: the interfaces of one object and their properties.
std::map<QString, QVariantMap> interfacesOf(const QDBusArgument& argument) {
    std::map<QString, QVariantMap> interfaces;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString name;
        QVariantMap properties;
        argument.beginMapEntry();
        argument >> name >> properties;
        argument.endMapEntry();
        interfaces[name] = properties;
    }
    argument.endMap();
    return interfaces;
}

}  // namespace

BluezDevices::BluezDevices(QDBusConnection bus, std::function<void(const std::string&)> say)
    : bus_(std::move(bus)), say_(std::move(say)) {
    if (!bus_.isConnected()) {
        say_("Bluetooth: no system bus (" + bus_.lastError().message().toStdString() +
             "): no Bluetooth phone is listed");
        return;
    }
    const QString service = kService;
    bus_.connect(service, "/", kObjectManager, "InterfacesAdded", this,
                 SLOT(interfacesAdded(QDBusMessage)));
    bus_.connect(service, "/", kObjectManager, "InterfacesRemoved", this,
                 SLOT(interfacesRemoved(QDBusMessage)));
    bus_.connect(service, "", "org.freedesktop.DBus.Properties", "PropertiesChanged", this,
                 SLOT(propertiesChanged(QDBusMessage)));
    watcher_.setConnection(bus_);
    watcher_.addWatchedService(service);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                // BlueZ started, stopped or restarted: what it knows is read afresh.
                devices_.clear();
                if (!owner.isEmpty()) {
                    readAll();
                }
                changed();
            });
    readAll();
}

void BluezDevices::readAll() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, "/", kObjectManager, "GetManagedObjects");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call, kListTimeOutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        const QDBusMessage reply = pending->reply();
        if (reply.type() == QDBusMessage::ErrorMessage || reply.arguments().isEmpty()) {
            if (!absenceSaid_) {
                absenceSaid_ = true;
                say_("Bluetooth: BlueZ does not answer on the system bus (" +
                     reply.errorMessage().toStdString() + "): no Bluetooth phone is listed");
            }
            return;
        }
        const QDBusArgument objects = reply.arguments().at(0).value<QDBusArgument>();
        objects.beginMap();
        while (!objects.atEnd()) {
            QDBusObjectPath path;
            objects.beginMapEntry();
            objects >> path;
            const std::map<QString, QVariantMap> interfaces = interfacesOf(objects);
            objects.endMapEntry();
            if (const auto device = interfaces.find(kDevice); device != interfaces.end()) {
                devices_[path.path()] = device->second;
            }
        }
        objects.endMap();
        changed();
    });
}

void BluezDevices::interfacesAdded(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2) {
        return;
    }
    const std::map<QString, QVariantMap> interfaces =
        interfacesOf(arguments.at(1).value<QDBusArgument>());
    if (const auto device = interfaces.find(kDevice); device != interfaces.end()) {
        devices_[arguments.at(0).value<QDBusObjectPath>().path()] = device->second;
        changed();
    }
}

void BluezDevices::interfacesRemoved(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() >= 2 && arguments.at(1).toStringList().contains(kDevice) &&
        devices_.erase(arguments.at(0).value<QDBusObjectPath>().path()) > 0) {
        changed();
    }
}

void BluezDevices::propertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    const auto device = devices_.find(message.path());
    if (arguments.size() < 2 || arguments.at(0).toString() != kDevice || device == devices_.end()) {
        return;
    }
    const QVariantMap changes = qdbus_cast<QVariantMap>(arguments.at(1));
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        device->second.insert(it.key(), it.value());
    }
    changed();
}

void BluezDevices::changed() {
    if (changed_) {
        changed_();
    }
}

std::vector<BluezDevices::Phone> BluezDevices::phones() const {
    std::vector<Phone> phones;
    for (const auto& [path, properties] : devices_) {
        const QStringList uuids = properties.value("UUIDs").toStringList();
        const auto offers = [&](const char* uuid) {
            return uuids.contains(QString(uuid), Qt::CaseInsensitive);
        };
        if (!properties.value("Paired").toBool() || !(offers(kSerialPort) || offers(kDialUp))) {
            continue;
        }
        QString name = properties.value("Alias").toString();
        name = name.isEmpty() ? properties.value("Name").toString() : name;
        const QString address = properties.value("Address").toString();
        phones.push_back(
            {path, address.toStdString(), (name.isEmpty() ? address : name).toStdString(),
             offers(kSerialPort) ? kSerialPort : kDialUp, properties.value("Connected").toBool()});
    }
    return phones;
}

std::optional<BluezDevices::Phone> BluezDevices::phone(const QString& path) const {
    for (Phone& phone : phones()) {
        if (phone.path == path) {
            return std::move(phone);
        }
    }
    return std::nullopt;
}

std::vector<OtherDevice> BluezDevices::portDevices() const {
    std::vector<OtherDevice> devices;
    for (const Phone& phone : phones()) {
        devices.push_back(
            {"bluetooth " + phone.address, kDevicePrefix + phone.path.toStdString(), phone.name});
    }
    return devices;
}

std::optional<QString> BluezDevices::pathOf(const std::string& device) {
    if (device.rfind(kDevicePrefix, 0) != 0) {
        return std::nullopt;
    }
    return QString::fromStdString(device.substr(kDevicePrefix.size()));
}

}  // namespace zintor

#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/LinuxPortRegistry.h"

namespace zintor {

// The Bluetooth phones BlueZ knows, from its object manager on the system bus: paired devices
// that offer a serial port (SPP, 0x1101) or dial-up networking (DUN, 0x1103). Read once at the
// start (asynchronously) and kept up to date from BlueZ's signals: a phone paired, removed or
// renamed while the program runs is reported through the change function. A system without
// BlueZ lists none, said once; BlueZ starting later is noticed.
class BluezDevices : public QObject {
    Q_OBJECT
  public:
    struct Phone {
        QString path;            // the device's object path
        std::string address;     // "00:11:22:33:44:55"
        std::string name;        // the name the user gave it, or its own
        QString service;         // the UUID to connect: SPP where offered, else DUN
        bool connected = false;  // BlueZ has a link to it (ours or another program's)
    };
    static constexpr const char* kService = "org.bluez";
    static constexpr const char* kSerialPort = "00001101-0000-1000-8000-00805f9b34fb";
    static constexpr const char* kDialUp = "00001103-0000-1000-8000-00805f9b34fb";

    BluezDevices(QDBusConnection bus, std::function<void(const std::string&)> say);

    // Paired phones with a serial service, in the order of their object paths.
    std::vector<Phone> phones() const;
    std::optional<Phone> phone(const QString& path) const;

    // The phones as devices of the port list ("bluez:<object path>", remembered by address).
    std::vector<OtherDevice> portDevices() const;
    // The object path of such a device; nothing for any other.
    static std::optional<QString> pathOf(const std::string& device);
    void setChangeListener(std::function<void()> changed) { changed_ = std::move(changed); }

  private slots:
    void interfacesAdded(const QDBusMessage& message);
    void interfacesRemoved(const QDBusMessage& message);
    void propertiesChanged(const QDBusMessage& message);

  private:
    void readAll();
    void update(const QString& path, const QVariantMap& properties);
    void changed();

    QDBusConnection bus_;
    std::function<void(const std::string&)> say_;
    std::function<void()> changed_;
    QDBusServiceWatcher watcher_;
    std::map<QString, QVariantMap> devices_;  // every Device1, by path, as last known
    bool absenceSaid_ = false;
};

}  // namespace zintor

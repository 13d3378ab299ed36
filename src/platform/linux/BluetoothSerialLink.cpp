#include "platform/linux/BluetoothSerialLink.h"

#include <QTimer>

namespace zintor {

BluetoothSerialLink::BluetoothSerialLink(
    SerialLink& serial, QDBusConnection bus, BluezDevices& devices,
    std::function<std::optional<std::string>(int port)> deviceOf, Reports reports)
    : serial_(serial),
      devices_(devices),
      deviceOf_(std::move(deviceOf)),
      reports_(std::move(reports)),
      profile_(std::move(bus),
               {[this](const QString& device, int socket) { return connection(device, socket); },
                [this](const QString& device) {
                    if (device == device_ && making_) {
                        failed(false, "BlueZ ended the connection");
                    } else if (device == device_) {
                        socket_.hangUp();
                    }
                }}),
      active_(&serial) {}

void BluetoothSerialLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = listener;
    socket_.setListener(listener);
    serial_.setListener(std::move(listener));
}

bool BluetoothSerialLink::open(int port) {
    if (isOpen()) {
        return false;  // in use
    }
    const std::optional<std::string> device = deviceOf_ ? deviceOf_(port) : std::nullopt;
    const std::optional<QString> path = device ? BluezDevices::pathOf(*device) : std::nullopt;
    if (!path) {
        active_ = &serial_;
        return serial_.open(port);
    }
    const std::optional<BluezDevices::Phone> phone = devices_.phone(*path);
    if (!phone) {
        return false;  // gone since the list was read
    }
    active_ = &socket_;
    making_ = true;
    port_ = port;
    device_ = *path;
    name_ = phone->name;
    profile_.connectDevice(
        *path, phone->service,
        [this, attempt = ++attempt_](const QDBusError& error) { answered(attempt, error); });
    return true;
}

void BluetoothSerialLink::close() {
    making_ = false;
    ++attempt_;
    active_->close();
}

bool BluetoothSerialLink::connection(const QString& device, int socket) {
    if (!making_ || device != device_) {
        return false;  // not asked for (any more)
    }
    making_ = false;
    held_.erase(device);
    lastSaid_.clear();
    socket_.adopt(socket);
    if (reports_.made) {
        reports_.made();
    }
    if (listener_) {
        listener_(SerialEvent::kMade);
    }
    return true;
}

void BluetoothSerialLink::answered(unsigned attempt, const QDBusError& error) {
    if (attempt != attempt_ || !making_) {
        return;  // closed meanwhile, or made already
    }
    if (!error.isValid()) {
        QTimer::singleShot(kSocketAfterAnswerMs, &context_, [this, attempt] {
            if (attempt == attempt_ && making_) {
                failed(true, "");
            }
        });
        return;
    }
    const QString name = error.name();
    const bool held = name == "org.bluez.Error.AlreadyConnected" ||
                      name == "org.bluez.Error.InProgress" ||
                      error.message().contains("busy", Qt::CaseInsensitive);
    failed(held, error.message().isEmpty() ? name.toStdString() : error.message().toStdString());
}

void BluetoothSerialLink::failed(bool held, const std::string& why) {
    making_ = false;
    ++attempt_;
    if (held) {
        held_.insert(device_);
        if (reports_.held) {
            reports_.held(port_, name_);
        }
    } else {
        const std::string said = "COM" + std::to_string(port_) + " (" + name_ +
                                 ", Bluetooth) could not be connected: " + why;
        // A phone out of range is tried again and again: said once until something changes.
        if (said != lastSaid_ && reports_.say) {
            reports_.say(said);
        }
        lastSaid_ = said;
    }
    if (listener_) {
        listener_(SerialEvent::kMade);  // closed: isOpen() says it was not made
    }
}

bool BluetoothSerialLink::heldElsewhere(const QString& device) const {
    const std::optional<BluezDevices::Phone> phone = devices_.phone(device);
    return held_.count(device) != 0 && phone && phone->connected;
}

}  // namespace zintor

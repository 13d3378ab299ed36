#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "core/ports/SerialLink.h"
#include "platform/linux/BluezDevices.h"
#include "platform/linux/BluezProfile.h"
#include "platform/linux/SocketSerialLink.h"

namespace zintor {

// The program's serial link on Linux. A port that is a Bluetooth phone known to BlueZ is reached
// through BlueZ: open() asks the phone to connect its serial service (the link is being made
// meanwhile) and the RFCOMM socket BlueZ hands over becomes the link. Every other port is the
// serial ports' link.
//  - The link is made when the socket arrives; it could not be made when BlueZ refuses or fails
//    (then the reason is said). Either way SerialEvent::kMade follows.
//  - Another program holding the phone's service is reported (not fought over) and remembered
//    while BlueZ keeps a link to the phone: heldElsewhere() says so.
//  - The socket closing or failing (the phone out of range) and BlueZ asking for the end of the
//    connection are hang-ups.
class BluetoothSerialLink : public SerialLink {
  public:
    struct Reports {
        std::function<void(const std::string&)> say;  // a connection that failed, and why
        // Another program holds the phone on `port` (`phone`: its name, for the user).
        std::function<void(int port, const std::string& phone)> held;
        std::function<void()> made;  // a link was made: what `held` showed is over
    };
    // `deviceOf(port)`: the device behind COM `port` as the port registry gives it.
    BluetoothSerialLink(SerialLink& serial, QDBusConnection bus, BluezDevices& devices,
                        std::function<std::optional<std::string>(int port)> deviceOf,
                        Reports reports);

    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return making_ || active_->isOpen(); }
    bool beingMade() const override { return making_; }
    void write(std::string_view bytes) override { active_->write(bytes); }
    std::string takeReceived() override { return active_->takeReceived(); }
    void setReceiveArmed(bool armed) override { active_->setReceiveArmed(armed); }
    void setListener(std::function<void(SerialEvent)> listener) override;

    // Whether another program held the phone at `device` (an object path) at the last try, and
    // BlueZ still has a link to it.
    bool heldElsewhere(const QString& device) const;

    // How long BlueZ's "connected" may come before the socket does: after it, the socket went
    // to another program's profile for the same service.
    static constexpr int kSocketAfterAnswerMs = 2000;

  private:
    bool connection(const QString& device, int socket);
    void answered(unsigned attempt, const QDBusError& error);
    void failed(bool held, const std::string& why);

    SerialLink& serial_;
    BluezDevices& devices_;
    std::function<std::optional<std::string>(int port)> deviceOf_;
    Reports reports_;
    SocketSerialLink socket_;
    BluezProfile profile_;
    QObject context_;
    SerialLink* active_;
    std::function<void(SerialEvent)> listener_;
    bool making_ = false;
    unsigned attempt_ = 0;  // counts opens, so a late answer never acts on a newer one
    int port_ = 0;
    QString device_;
    std::string name_;
    std::set<QString> held_;
    std::string lastSaid_;
};

}  // namespace zintor

#pragma once

#include <QSerialPort>
#include <functional>
#include <optional>
#include <string>

#include "core/ports/SerialLink.h"

namespace zintor {

// The phone's serial line on QSerialPort.
//  - Receive events are posted to the event loop (never raised from inside readyRead, which Qt
//    does not re-enter, so a nested receive would be lost) and only while armed; arming with
//    bytes already buffered posts one at once.
//  - A device that goes away (pty master closed, USB adapter unplugged, Bluetooth dropped) makes
//    QSerialPort report read errors for ever: the link closes the port and reports HangUp once.
//  - Modem-line requests (RTS, DTR) are made, and their failure (on pseudo-terminals) ignored.
class QtSerialLink : public SerialLink {
  public:
    // Turns a COM number into the device path to open; nothing when the number is unknown.
    using Resolver = std::function<std::optional<std::string>(int port)>;

    explicit QtSerialLink(Resolver resolve);
    ~QtSerialLink() override;
    QtSerialLink(const QtSerialLink&) = delete;
    QtSerialLink& operator=(const QtSerialLink&) = delete;

    bool open(int port) override;
    void close() override;
    bool isOpen() const override;
    void write(std::string_view bytes) override;
    std::string takeReceived() override;
    void setReceiveArmed(bool armed) override;
    void setListener(std::function<void(SerialEvent)> listener) override;

    // The device path of the open port (empty when closed).
    std::string devicePath() const;

  private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void postReceive();
    void deliverReceive();
    void hangUp(unsigned generation);

    Resolver resolve_;
    QSerialPort port_;
    std::string devicePath_;
    std::function<void(SerialEvent)> listener_;
    bool armed_ = false;
    bool receivePosted_ = false;
    bool hangUpPosted_ = false;
    unsigned generation_ = 0;  // counts opens, so a stale hang-up never closes a new session
};

}  // namespace zintor

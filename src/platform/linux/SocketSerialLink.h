#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "core/ports/SerialLink.h"

namespace zintor {

// The serial line on a connected stream socket handed over by another party (the RFCOMM socket
// of a Bluetooth phone, which BlueZ passes on): there is no port to open, the socket is adopted.
//  - Receive events are posted to the event loop, only while armed (as QtSerialLink's).
//  - The other side closing the socket, or the socket failing (the phone out of range), closes
//    the link and reports HangUp once; so does hangUp(), for a link its owner is told is gone.
//  - Bytes the socket cannot take at once wait and go out when it can.
class SocketSerialLink : public SerialLink {
  public:
    SocketSerialLink();
    ~SocketSerialLink() override;
    SocketSerialLink(const SocketSerialLink&) = delete;
    SocketSerialLink& operator=(const SocketSerialLink&) = delete;

    // Takes `socket` as the open link (a link already open is closed first).
    void adopt(int socket);
    // Posts the end of the link: it closes and reports HangUp, unless it is closed meanwhile.
    void hangUp();

    bool open(int port) override;  // false: a socket link is adopted, never opened by number
    void close() override;
    bool isOpen() const override { return socket_ >= 0; }
    void write(std::string_view bytes) override;
    std::string takeReceived() override;
    void setReceiveArmed(bool armed) override;
    void setListener(std::function<void(SerialEvent)> listener) override;

    // Received bytes kept at most; beyond it the socket is not read until they are taken.
    static constexpr std::size_t kMaxBuffered = 65536;

  private:
    void readSome();
    void writeWaiting();
    void post(std::function<void()> call);
    void postReceive();

    QObject context_;
    int socket_ = -1;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
    std::string received_;
    std::string waiting_;
    std::function<void(SerialEvent)> listener_;
    bool armed_ = false;
    bool receivePosted_ = false;
    bool hangUpPosted_ = false;
    unsigned generation_ = 0;  // counts adoptions, so a stale event never acts on a new link
};

}  // namespace zintor

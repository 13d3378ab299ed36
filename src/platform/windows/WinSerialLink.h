#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/ports/SerialLink.h"
#include "platform/windows/WinEventLoop.h"

namespace zintor {

// The phone's serial line on \\.\COMn, overlapped, served by the event loop's handles.
//  - A one-byte read is always pending while the port is open; when it completes, what has
//    arrived is read on until a read stays pending (reads wait for their byte, no time-outs).
//    One byte at a time because wine, on a pseudo-terminal, ends a read only when its buffer is
//    full and reports no queue count; a phone's few lines cost nothing that way.
//  - A WaitCommEvent for break, CTS, DSR and ring is pending beside it. A line that has no modem
//    lines (wine's pseudo-terminals) gives break only; one whose waits are aborted (wine ends them
//    when the line is written to) gives no line events at all.
//  - Receive events are posted to the loop, only while armed; arming with bytes already buffered
//    posts one at once. Line events are posted as they come. As posted calls they never run
//    inside another call into the program (see WinEventLoop).
//  - A port whose device went away (USB adapter unplugged, Bluetooth dropped, the other end of a
//    pseudo-terminal closed under wine) fails its read: the link closes the port and reports
//    HangUp once.
class WinSerialLink : public SerialLink {
  public:
    explicit WinSerialLink(WinEventLoop& loop);
    ~WinSerialLink() override;
    WinSerialLink(const WinSerialLink&) = delete;
    WinSerialLink& operator=(const WinSerialLink&) = delete;

    bool open(int port) override;
    void close() override;
    bool isOpen() const override;
    void write(std::string_view bytes) override;
    std::string takeReceived() override;
    void setReceiveArmed(bool armed) override;
    void setListener(std::function<void(SerialEvent)> listener) override;

  private:
    void startRead();
    void onReadDone();
    void startWait();
    void onWaitDone();
    void postEvent(SerialEvent event);
    void postReceive();
    void hangUp();

    WinEventLoop& loop_;
    HANDLE port_ = INVALID_HANDLE_VALUE;
    OVERLAPPED read_{};
    char byte_ = 0;
    OVERLAPPED wait_{};
    DWORD waitMask_ = 0;
    DWORD events_ = 0;  // the line events waited for; 0: none
    WinEventLoop::HandleId readHandle_ = 0;
    WinEventLoop::HandleId waitHandle_ = 0;
    std::string received_;
    std::function<void(SerialEvent)> listener_;
    bool armed_ = false;
    bool receivePosted_ = false;
    unsigned generation_ = 0;  // counts opens, so a stale posted event never reaches a new session
};

}  // namespace zintor

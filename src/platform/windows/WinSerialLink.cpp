#include "platform/windows/WinSerialLink.h"

namespace zintor {
namespace {

constexpr DWORD kLineEvents = EV_BREAK | EV_CTS | EV_DSR | EV_RING;

bool configure(HANDLE port) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        return false;
    }
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;  // NUL bytes are data
    dcb.fAbortOnError = FALSE;
    COMMTIMEOUTS noTimeouts{};  // a read ends when its bytes have come, a write when it is out
    return SetCommState(port, &dcb) && SetCommTimeouts(port, &noTimeouts) &&
           PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

void finish(HANDLE port, OVERLAPPED& overlapped) {
    CancelIoEx(port, &overlapped);
    DWORD ignored = 0;
    GetOverlappedResult(port, &overlapped, &ignored, TRUE);
    ResetEvent(overlapped.hEvent);
}

}  // namespace

WinSerialLink::WinSerialLink(WinEventLoop& loop) : loop_(loop) {
    read_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wait_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

WinSerialLink::~WinSerialLink() {
    listener_ = nullptr;
    close();
    CloseHandle(read_.hEvent);
    CloseHandle(wait_.hEvent);
}

bool WinSerialLink::open(int port) {
    if (isOpen() || port < 1) {
        return false;
    }
    const std::wstring path = L"\\\\.\\COM" + std::to_wstring(port);
    port_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED, nullptr);
    if (port_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (!configure(port_)) {
        CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
        return false;
    }
    ++generation_;
    armed_ = false;
    receivePosted_ = false;
    received_.clear();
    readHandle_ = loop_.addHandle(read_.hEvent, [this] { onReadDone(); });
    waitHandle_ = loop_.addHandle(wait_.hEvent, [this] { onWaitDone(); });
    events_ = kLineEvents;
    SetCommMask(port_, events_);
    startWait();
    startRead();
    return isOpen();
}

void WinSerialLink::close() {
    armed_ = false;
    if (!isOpen()) {
        return;
    }
    loop_.removeHandle(readHandle_);
    loop_.removeHandle(waitHandle_);
    FlushFileBuffers(port_);
    SetCommMask(port_, 0);
    // The pending read and wait must be finished before their OVERLAPPEDs can be used again.
    finish(port_, read_);
    finish(port_, wait_);
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    received_.clear();
}

bool WinSerialLink::isOpen() const {
    return port_ != INVALID_HANDLE_VALUE;
}

void WinSerialLink::write(std::string_view bytes) {
    if (!isOpen() || bytes.empty()) {
        return;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    if (!WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped) &&
        GetLastError() == ERROR_IO_PENDING) {
        GetOverlappedResult(port_, &overlapped, &written, TRUE);  // a line takes a millisecond
    }
    CloseHandle(overlapped.hEvent);
}

std::string WinSerialLink::takeReceived() {
    std::string bytes;
    bytes.swap(received_);
    return bytes;
}

void WinSerialLink::setReceiveArmed(bool armed) {
    armed_ = armed;
    if (armed_ && isOpen() && !received_.empty()) {
        postReceive();
    }
}

void WinSerialLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = std::move(listener);
}

void WinSerialLink::startRead() {
    // Bytes that are there complete their reads at once; the first read that stays pending ends
    // the burst.
    while (true) {
        DWORD read = 0;
        ResetEvent(read_.hEvent);
        if (ReadFile(port_, &byte_, 1, &read, &read_)) {
            if (read == 0) {  // the end of the device
                hangUp();
                return;
            }
            received_ += byte_;
            continue;
        }
        if (GetLastError() != ERROR_IO_PENDING) {
            hangUp();
            return;
        }
        break;
    }
    if (armed_ && !received_.empty()) {
        postReceive();
    }
}

void WinSerialLink::onReadDone() {
    DWORD read = 0;
    if (!GetOverlappedResult(port_, &read_, &read, FALSE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_OPERATION_ABORTED) {
            startRead();  // wine ends a pending read at times when the line is written to
        } else if (error != ERROR_IO_INCOMPLETE) {
            hangUp();
        }
        return;
    }
    if (read == 0) {
        hangUp();
        return;
    }
    received_ += byte_;
    startRead();
}

void WinSerialLink::startWait() {
    waitMask_ = 0;
    ResetEvent(wait_.hEvent);
    if (WaitCommEvent(port_, &waitMask_, &wait_)) {
        SetEvent(wait_.hEvent);  // done at once: handled in the loop's next pass
        return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_SUPPORTED && events_ == kLineEvents) {
        events_ = EV_BREAK;  // no modem lines
        SetCommMask(port_, events_);
        startWait();
    } else if (error != ERROR_IO_PENDING) {
        events_ = 0;  // no line events from this line; data still comes
        loop_.removeHandle(waitHandle_);
        waitHandle_ = 0;
    }
}

void WinSerialLink::onWaitDone() {
    DWORD ignored = 0;
    if (!GetOverlappedResult(port_, &wait_, &ignored, FALSE)) {
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            events_ = 0;
            loop_.removeHandle(waitHandle_);
            waitHandle_ = 0;
            ResetEvent(wait_.hEvent);
        }
        return;
    }
    const DWORD mask = waitMask_;
    if ((mask & EV_BREAK) != 0) {
        postEvent(SerialEvent::kBreak);
    }
    if ((mask & EV_CTS) != 0) {
        postEvent(SerialEvent::kCts);
    }
    if ((mask & EV_DSR) != 0) {
        postEvent(SerialEvent::kDsr);
    }
    if ((mask & EV_RING) != 0) {
        postEvent(SerialEvent::kRing);
    }
    startWait();
}

void WinSerialLink::postEvent(SerialEvent event) {
    loop_.post([this, event, generation = generation_] {
        if (generation == generation_ && isOpen() && listener_) {
            listener_(event);
        }
    });
}

void WinSerialLink::postReceive() {
    if (receivePosted_) {
        return;  // one pending event covers every byte that arrives before it runs
    }
    receivePosted_ = true;
    loop_.post([this, generation = generation_] {
        if (generation != generation_) {
            return;
        }
        receivePosted_ = false;
        // Disarmed meanwhile, or the bytes already taken by an earlier call: nothing to report.
        if (armed_ && isOpen() && !received_.empty() && listener_) {
            listener_(SerialEvent::kReceive);
        }
    });
}

void WinSerialLink::hangUp() {
    if (!isOpen()) {
        return;
    }
    close();
    loop_.post([this, generation = generation_] {
        if (generation == generation_ && listener_) {
            listener_(SerialEvent::kHangUp);
        }
    });
}

}  // namespace zintor

#include "platform/qt/QtSerialLink.h"

namespace zintor {

QtSerialLink::QtSerialLink(Resolver resolve) : resolve_(std::move(resolve)) {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { onReadyRead(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialLink::~QtSerialLink() {
    listener_ = nullptr;
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialLink::open(int port) {
    if (port_.isOpen()) {
        return false;  // already in use, like a busy port
    }
    const std::optional<std::string> device = resolve_ ? resolve_(port) : std::nullopt;
    if (!device) {
        return false;
    }
    devicePath_ = *device;
    port_.setPortName(QString::fromStdString(*device));
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(1024);
    armed_ = false;
    receivePosted_ = false;
    hangUpPosted_ = false;
    ++generation_;
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    // Pseudo-terminals have no modem lines; the failure is expected there and harmless.
    port_.setRequestToSend(true);
    port_.setDataTerminalReady(true);
    port_.clearError();
    return true;
}

void QtSerialLink::close() {
    armed_ = false;
    if (port_.isOpen()) {
        port_.flush();
        port_.close();
        port_.clearError();
    }
}

bool QtSerialLink::isOpen() const {
    return port_.isOpen();
}

std::string QtSerialLink::devicePath() const {
    return port_.isOpen() ? devicePath_ : std::string();
}

void QtSerialLink::write(std::string_view bytes) {
    if (!port_.isOpen() || bytes.empty()) {
        return;
    }
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    port_.flush();  // out now, not at the next turn of the event loop
}

std::string QtSerialLink::takeReceived() {
    if (!port_.isOpen()) {
        return {};
    }
    const QByteArray bytes = port_.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtSerialLink::setReceiveArmed(bool armed) {
    armed_ = armed;
    if (armed_ && port_.isOpen() && port_.bytesAvailable() > 0) {
        postReceive();
    }
}

void QtSerialLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = std::move(listener);
}

void QtSerialLink::onReadyRead() {
    if (armed_) {
        postReceive();
    }
}

void QtSerialLink::postReceive() {
    if (receivePosted_) {
        return;  // one pending event covers every byte that arrives before it runs
    }
    receivePosted_ = true;
    QMetaObject::invokeMethod(
        &port_, [this] { deliverReceive(); }, Qt::QueuedConnection);
}

void QtSerialLink::deliverReceive() {
    receivePosted_ = false;
    // Disarmed meanwhile, or the bytes already taken by a nested handler: nothing to report.
    if (!armed_ || !port_.isOpen() || port_.bytesAvailable() == 0) {
        return;
    }
    if (listener_) {
        listener_(SerialEvent::kReceive);
    }
}

void QtSerialLink::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        return;  // modem-line requests on a pty (UnsupportedOperationError) and the like
    }
    // A device that went away: an unplugged adapter gives ResourceError; a pty whose master was
    // closed gives ReadError (read() returns EIO) on every turn of the loop, as long as the
    // port stays open.
    if (hangUpPosted_ || !port_.isOpen()) {
        return;
    }
    // Not closed here: this runs inside QSerialPort's own read handling.
    hangUpPosted_ = true;
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        &port_, [this, generation] { hangUp(generation); }, Qt::QueuedConnection);
}

void QtSerialLink::hangUp(unsigned generation) {
    if (generation != generation_ || !port_.isOpen()) {
        return;  // closed (and maybe opened again) by the program in the meantime
    }
    armed_ = false;
    port_.close();
    port_.clearError();
    if (listener_) {
        listener_(SerialEvent::kHangUp);
    }
}

}  // namespace zintor

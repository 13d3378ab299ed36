#include "platform/linux/BusSignalWait.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace zintor {

BusSignalWait::BusSignalWait(QDBusConnection& bus) : bus_(bus) {}

void BusSignalWait::watch(const QString& service, const QString& path, const QString& interface,
                          const QString& name) {
    const QString key = service + ' ' + path + ' ' + interface + ' ' + name;
    if (watched_.count(key) == 0 &&
        bus_.connect(service, path, interface, name, this, SLOT(received(QDBusMessage)))) {
        watched_.insert(key);
    }
}

void BusSignalWait::observe(std::function<void(const QDBusMessage&)> observer) {
    observers_.push_back(std::move(observer));
}

void BusSignalWait::received(const QDBusMessage& message) {
    for (const Listener& observer : observers_) {
        observer(message);
    }
    // Every wait running gets it, the ones nested in others included.
    const std::vector<Listener*> listeners = listeners_;
    for (Listener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
            (*listener)(message);
        }
    }
}

bool BusSignalWait::waitFor(int ms, const std::function<bool(const QDBusMessage*)>& done) {
    if (done(nullptr)) {
        return true;
    }
    if (ms <= 0) {
        return false;
    }
    bool result = false;
    bool expired = false;
    // A loop of its own: the bus's messages are handled meanwhile, and the program's own ticks
    // and posted calls wait until the call that asked for this has returned (QtEventLoop).
    QEventLoop waiting;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &waiting, [&] {
        expired = true;
        waiting.quit();
    });
    Listener listener = [&](const QDBusMessage& message) {
        if (!result) {
            result = done(&message);
        }
        if (result) {
            waiting.quit();
        }
    };
    listeners_.push_back(&listener);
    limit.start(ms);
    if (!result && !expired) {
        waiting.exec();
    }
    std::erase(listeners_, &listener);
    return result;
}

}  // namespace zintor

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <set>
#include <vector>

namespace zintor {

// Waits for something a D-Bus signal announces (a name appearing on the bus, a player's property
// changing): the bus's messages are handled meanwhile, the thread sleeps between them, and the
// wait ends at its time limit whatever happens. The program's own ticks and posted calls wait
// until the call that waits has returned (QtEventLoop). Observers see the signals that arrive
// while no wait runs too.
class BusSignalWait : public QObject {
    Q_OBJECT

  public:
    explicit BusSignalWait(QDBusConnection& bus);

    // Subscribes to a signal (once per signal; an empty `service` means any sender).
    void watch(const QString& service, const QString& path, const QString& interface,
               const QString& name);

    // Hands every watched signal to `observer` from now on, waiting or not.
    void observe(std::function<void(const QDBusMessage&)> observer);

    // Handles events until `done` holds or `ms` have passed; its last answer. `done` is asked at
    // once with no message, then again with each watched signal that arrives.
    bool waitFor(int ms, const std::function<bool(const QDBusMessage* signal)>& done);

  private slots:
    void received(const QDBusMessage& message);

  private:
    QDBusConnection& bus_;
    std::set<QString> watched_;
    using Listener = std::function<void(const QDBusMessage&)>;
    std::vector<Listener*> listeners_;  // the waits running, innermost last
    std::vector<Listener> observers_;
};

}  // namespace zintor

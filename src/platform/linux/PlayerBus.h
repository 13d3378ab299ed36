#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/linux/BusSignalWait.h"

namespace zintor {

// The media player adapters' way onto the session bus. Every call that waits for an answer waits
// at most the time-out given (never D-Bus's default of 25 s); commands that need no answer are
// sent without waiting. A player that lets a call time out is treated as gone for a few seconds,
// so that one hung player costs the program one time-out, not one per call.
//
// It also keeps the player's handle: a number that stands for one run of the player (one unique
// bus name). A handle from an earlier run answers nothing.
class PlayerBus {
  public:
    using Handle = std::uint64_t;

    // A wait for a player handles the bus's messages meanwhile (BusSignalWait).
    PlayerBus(QDBusConnection bus, int timeoutMs);

    // The unique name that owns `name` now; empty when nobody does.
    QString owner(const QString& name);
    // Every name on the bus.
    QStringList names();

    // The handle of the run that `owner` stands for (a new one when the owner changed); 0 for an
    // empty owner.
    Handle handleFor(const QString& owner);
    // Where calls for `handle` go: the owner of that run, or empty when the handle is not the
    // current one or the player let a call time out a moment ago.
    QString peer(Handle handle) const;

    // A method call with its answer's arguments; nothing on an error or time-out.
    std::optional<QList<QVariant>> call(const QString& peer, const QString& path,
                                        const QString& interface, const QString& method,
                                        const QList<QVariant>& args = {});
    // The same method called once per argument list, all sent before the first answer is awaited
    // (one round trip instead of one per call). Each answer as call() gives it, in order.
    std::vector<std::optional<QList<QVariant>>> callEach(const QString& peer, const QString& path,
                                                         const QString& interface,
                                                         const QString& method,
                                                         const QList<QList<QVariant>>& argLists);
    // A method call whose answer nobody waits for.
    void send(const QString& peer, const QString& path, const QString& interface,
              const QString& method, const QList<QVariant>& args = {});
    // A property read through org.freedesktop.DBus.Properties; nothing on an error or time-out.
    std::optional<QVariant> property(const QString& peer, const QString& path,
                                     const QString& interface, const QString& name);
    void setProperty(const QString& peer, const QString& path, const QString& interface,
                     const QString& name, const QVariant& value);

    // Handles events until `found` holds, asked at once and whenever a name appears on the bus,
    // or until `ms` have passed; its last answer.
    bool waitForName(int ms, const std::function<bool()>& found);
    // Waits for other signals.
    BusSignalWait& signalWait() { return signalWait_; }

    QDBusConnection& connection() { return bus_; }
    int timeoutMs() const { return timeoutMs_; }

  private:
    using Clock = std::chrono::steady_clock;

    bool hung(const QString& peer) const;

    QDBusConnection bus_;
    BusSignalWait signalWait_;
    int timeoutMs_;
    QString owner_;
    Handle handle_ = 0;
    Clock::time_point hungUntil_{};
};

}  // namespace zintor

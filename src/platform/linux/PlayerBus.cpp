#include "platform/linux/PlayerBus.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <algorithm>

namespace zintor {

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kBusInterface = QStringLiteral("org.freedesktop.DBus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNoReply = QStringLiteral("org.freedesktop.DBus.Error.NoReply");
const QString kTimedOut = QStringLiteral("org.freedesktop.DBus.Error.Timeout");

// How long a player that let a call time out counts as gone.
constexpr std::chrono::seconds kHungPause{3};

}  // namespace

PlayerBus::PlayerBus(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)), signalWait_(bus_), timeoutMs_(timeoutMs) {}

bool PlayerBus::waitForName(int ms, const std::function<bool()>& found) {
    signalWait_.watch(kBusService, kBusPath, kBusInterface, QStringLiteral("NameOwnerChanged"));
    return signalWait_.waitFor(ms, [&found](const QDBusMessage* signal) {
        // (name, old owner, new owner): only a name that gets an owner can be the one awaited.
        if (signal != nullptr &&
            (signal->arguments().size() < 3 || signal->arguments()[2].toString().isEmpty())) {
            return false;
        }
        return found();
    });
}

QString PlayerBus::owner(const QString& name) {
    const auto reply =
        call(kBusService, kBusPath, kBusInterface, QStringLiteral("GetNameOwner"), {name});
    return reply && !reply->isEmpty() ? reply->first().toString() : QString();
}

QStringList PlayerBus::names() {
    const auto reply = call(kBusService, kBusPath, kBusInterface, QStringLiteral("ListNames"));
    return reply && !reply->isEmpty() ? reply->first().toStringList() : QStringList();
}

PlayerBus::Handle PlayerBus::handleFor(const QString& owner) {
    if (owner.isEmpty()) {
        owner_.clear();  // that run has ended: its handle answers nothing from now on
        return 0;
    }
    if (owner != owner_) {
        owner_ = owner;
        ++handle_;
        hungUntil_ = {};
    }
    return handle_;
}

QString PlayerBus::peer(Handle handle) const {
    if (handle == 0 || handle != handle_ || hung(owner_)) {
        return {};
    }
    return owner_;
}

bool PlayerBus::hung(const QString& peer) const {
    return peer == owner_ && Clock::now() < hungUntil_;
}

std::optional<QList<QVariant>> PlayerBus::call(const QString& peer, const QString& path,
                                               const QString& interface, const QString& method,
                                               const QList<QVariant>& args) {
    if (peer.isEmpty() || !bus_.isConnected() || hung(peer)) {
        return std::nullopt;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(peer, path, interface, method);
    message.setArguments(args);
    message.setAutoStartService(false);
    const QDBusMessage reply = bus_.call(message, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if ((reply.errorName() == kNoReply || reply.errorName() == kTimedOut) && peer == owner_) {
            hungUntil_ = Clock::now() + kHungPause;
        }
        return std::nullopt;
    }
    return reply.arguments();
}

std::vector<std::optional<QList<QVariant>>> PlayerBus::callEach(
    const QString& peer, const QString& path, const QString& interface, const QString& method,
    const QList<QList<QVariant>>& argLists) {
    std::vector<std::optional<QList<QVariant>>> answers(static_cast<std::size_t>(argLists.size()));
    if (peer.isEmpty() || !bus_.isConnected() || hung(peer)) {
        return answers;
    }
    // In batches, so that the last call of a batch is answered well within its time-out.
    constexpr qsizetype kBatch = 128;
    for (qsizetype first = 0; first < argLists.size(); first += kBatch) {
        std::vector<QDBusPendingCall> pending;
        for (qsizetype i = first; i < std::min(first + kBatch, argLists.size()); ++i) {
            QDBusMessage message = QDBusMessage::createMethodCall(peer, path, interface, method);
            message.setArguments(argLists[i]);
            message.setAutoStartService(false);
            pending.push_back(bus_.asyncCall(message, timeoutMs_));
        }
        for (std::size_t i = 0; i < pending.size(); ++i) {
            pending[i].waitForFinished();
            const QDBusMessage reply = pending[i].reply();
            if (reply.type() == QDBusMessage::ReplyMessage) {
                answers[static_cast<std::size_t>(first) + i] = reply.arguments();
            } else if (reply.errorName() == kNoReply || reply.errorName() == kTimedOut) {
                if (peer == owner_) {
                    hungUntil_ = Clock::now() + kHungPause;
                }
                return answers;  // the rest would time out the same way
            }
        }
    }
    return answers;
}

void PlayerBus::send(const QString& peer, const QString& path, const QString& interface,
                     const QString& method, const QList<QVariant>& args) {
    if (peer.isEmpty() || !bus_.isConnected() || hung(peer)) {
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(peer, path, interface, method);
    message.setArguments(args);
    message.setAutoStartService(false);
    bus_.send(message);
}

std::optional<QVariant> PlayerBus::property(const QString& peer, const QString& path,
                                            const QString& interface, const QString& name) {
    const auto reply = call(peer, path, kProperties, QStringLiteral("Get"), {interface, name});
    if (!reply || reply->isEmpty()) {
        return std::nullopt;
    }
    return reply->first().value<QDBusVariant>().variant();
}

void PlayerBus::setProperty(const QString& peer, const QString& path, const QString& interface,
                            const QString& name, const QVariant& value) {
    send(peer, path, kProperties, QStringLiteral("Set"),
         {interface, name, QVariant::fromValue(QDBusVariant(value))});
}

}  // namespace zintor

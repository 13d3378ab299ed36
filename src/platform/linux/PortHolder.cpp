#include "platform/linux/PortHolder.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace zintor {

namespace {

const QString kModemManager = QStringLiteral("org.freedesktop.ModemManager1");
const QString kModem = QStringLiteral("org.freedesktop.ModemManager1.Modem");
constexpr int kBusTimeoutMs = 500;  // the port is being opened: the user waits

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

PortHolder::PortHolder(QDBusConnection systemBus, std::string procFolder)
    : bus_(std::move(systemBus)), proc_(std::move(procFolder)) {}

std::optional<std::string> PortHolder::holderOf(const std::string& device) const {
    // A pseudo-terminal is a virtual phone's line, held open by that phone's own program.
    if (device.starts_with("/dev/pts/")) {
        return std::nullopt;
    }
    if (auto process = processHolding(device)) {
        return process;
    }
    if (modemManagerUses(device)) {
        return "ModemManager";
    }
    return std::nullopt;
}

std::optional<std::string> PortHolder::processHolding(const std::string& device) const {
    const std::string self = std::to_string(::getpid());
    std::error_code ec;
    for (fs::directory_iterator it(proc_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (!allDigits(pid) || pid == self) {
            continue;
        }
        std::error_code fdError;  // another user's process: its descriptors cannot be read
        for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == device && !linkError) {
                std::string name;
                std::getline(std::ifstream(it->path() / "comm"), name);
                return (name.empty() ? "a program" : name) + " (process " + pid + ")";
            }
        }
    }
    return std::nullopt;
}

bool PortHolder::modemManagerUses(const std::string& device) const {
    // Asked only when it runs: the bus would start it otherwise.
    if (!bus_.isConnected() || !bus_.interface()->isServiceRegistered(kModemManager).value()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        kModemManager, QStringLiteral("/org/freedesktop/ModemManager1"),
        QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    // a{oa{sa{sv}}}: each modem's properties, of which Ports is a(su), port names with a type.
    const std::string node = fs::path(device).filename().string();
    const QDBusArgument objects = reply.arguments().first().value<QDBusArgument>();
    objects.beginMap();
    while (!objects.atEnd()) {
        QDBusObjectPath path;
        QMap<QString, QVariantMap> interfaces;
        objects.beginMapEntry();
        objects >> path >> interfaces;
        objects.endMapEntry();
        const QVariant ports = interfaces.value(kModem).value(QStringLiteral("Ports"));
        if (!ports.canConvert<QDBusArgument>()) {
            continue;
        }
        const QDBusArgument list = ports.value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString name;
            uint type = 0;
            list.beginStructure();
            list >> name >> type;
            list.endStructure();
            if (name.toStdString() == node) {
                return true;
            }
        }
        list.endArray();
    }
    objects.endMap();
    return false;
}

}  // namespace zintor

#include "platform/linux/BluezProfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>

namespace zintor {
namespace {

const QString kRoot = QStringLiteral("/org/zintor/bluetooth");
const QString kService = QStringLiteral("org.bluez");
const QString kProfileManager = QStringLiteral("org.bluez.ProfileManager1");
constexpr int kRegisterTimeOutMs = 5000;

// One profile object for each service: "/org/zintor/bluetooth/s00001101".
QString profilePath(const QString& uuid) {
    return kRoot + "/s" + uuid.left(8);
}

}  // namespace

BluezProfile::BluezProfile(QDBusConnection bus, Handlers handlers)
    : bus_(std::move(bus)), handlers_(std::move(handlers)) {
    bus_.registerVirtualObject(kRoot, this, QDBusConnection::SubPath);
}

BluezProfile::~BluezProfile() {
    for (const QString& path : registered_) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, "/org/bluez", kProfileManager,
                                                           "UnregisterProfile");
        call << QVariant::fromValue(QDBusObjectPath(path));
        bus_.send(call);  // not waited for: BlueZ also drops the profiles of a client that left
    }
    bus_.unregisterObject(kRoot, QDBusConnection::UnregisterTree);
}

void BluezProfile::call(const QString& path, const QString& interface, const QString& method,
                        const QList<QVariant>& arguments, int timeOutMs,
                        std::function<void(const QDBusError&)> done) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(message, timeOutMs), this);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, this,
                     [pending, done = std::move(done)] {
                         pending->deleteLater();
                         done(pending->error());
                     });
}

void BluezProfile::connectDevice(const QString& device, const QString& uuid,
                                 std::function<void(const QDBusError& error)> done) {
    const QString path = profilePath(uuid);
    const QVariantMap options{{"Role", "client"}, {"Name", "Zintor"}};
    call("/org/bluez", kProfileManager, "RegisterProfile",
         {QVariant::fromValue(QDBusObjectPath(path)), uuid, options}, kRegisterTimeOutMs,
         [this, path, device, uuid, done = std::move(done)](const QDBusError& error) {
             if (error.isValid() && error.name() != "org.bluez.Error.AlreadyExists") {
                 done(error);
                 return;
             }
             if (!registered_.contains(path)) {
                 registered_.append(path);
             }
             call(device, "org.bluez.Device1", "ConnectProfile", {uuid}, kConnectTimeOutMs, done);
         });
}

QString BluezProfile::introspect(const QString&) const {
    return QStringLiteral(
        "<interface name=\"org.bluez.Profile1\">"
        "<method name=\"Release\"/>"
        "<method name=\"NewConnection\"><arg type=\"o\" direction=\"in\"/>"
        "<arg type=\"h\" direction=\"in\"/><arg type=\"a{sv}\" direction=\"in\"/></method>"
        "<method name=\"RequestDisconnection\"><arg type=\"o\" direction=\"in\"/></method>"
        "</interface>");
}

bool BluezProfile::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    const QList<QVariant> arguments = message.arguments();
    const QString member = message.member();
    const QString device =
        arguments.isEmpty() ? QString() : arguments.at(0).value<QDBusObjectPath>().path();
    if (member == "NewConnection" && arguments.size() >= 2) {
        const int socket = ::fcntl(
            arguments.at(1).value<QDBusUnixFileDescriptor>().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
        if (socket >= 0 && handlers_.connection && handlers_.connection(device, socket)) {
            return bus_.send(message.createReply());
        }
        if (socket >= 0) {
            ::close(socket);
        }
        return bus_.send(message.createErrorReply("org.bluez.Error.Rejected",
                                                  "Zintor did not ask for this connection"));
    }
    if (member == "RequestDisconnection") {
        if (handlers_.disconnectionRequested) {
            handlers_.disconnectionRequested(device);
        }
        return bus_.send(message.createReply());
    }
    if (member == "Release") {
        registered_.clear();
        return bus_.send(message.createReply());
    }
    return false;
}

}  // namespace zintor

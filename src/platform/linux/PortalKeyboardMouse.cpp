#include "platform/linux/PortalKeyboardMouse.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <linux/input-event-codes.h>

#include <algorithm>
#include <iostream>

#include "platform/linux/XTestKeySyms.h"

namespace zintor {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
constexpr uint kKeyboardAndPointer = 1 | 2;
constexpr uint kPersistUntilRevoked = 2;
constexpr unsigned kPersistingVersion = 2;  // persist_mode and restore_token from here on
constexpr int kProbeTimeoutMs = 2000;

}  // namespace

PortalKeyboardMouse::PortalKeyboardMouse(QDBusConnection bus, unsigned version,
                                         std::string restoreToken,
                                         std::function<void(const std::string&)> saveToken,
                                         Diagnostic diagnostic)
    : bus_(std::move(bus)),
      version_(version),
      restoreToken_(std::move(restoreToken)),
      saveToken_(std::move(saveToken)),
      diagnostic_(std::move(diagnostic)) {}

unsigned PortalKeyboardMouse::offeredVersion(QDBusConnection bus) {
    if (!bus.isConnected()) {
        return 0;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kRemoteDesktop << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kProbeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return 0;
    }
    return std::max(1u, reply.arguments().first().value<QDBusVariant>().variant().toUInt());
}

void PortalKeyboardMouse::start() {
    if (stage_ != Stage::kIdle) {
        return;
    }
    if (version_ < kPersistingVersion && !versionReported_) {
        versionReported_ = true;
        diagnostic_("The desktop's RemoteDesktop portal (version " + std::to_string(version_) +
                    ") cannot keep the permission: the desktop asks for it at every start");
    }
    stage_ = Stage::kCreating;
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QStringLiteral("zintor")}});
}

void PortalKeyboardMouse::request(const QString& method, QVariantList arguments,
                                  QVariantMap options) {
    const QString token = QStringLiteral("zintor%1").arg(++requests_);
    options.insert(QStringLiteral("handle_token"), token);
    // The request object's path is known before the call, so no Response can slip by.
    QString sender = bus_.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    watch(kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kRemoteDesktop, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        w->deleteLater();
        if (reply.isError()) {
            stage_ = Stage::kRefused;
            diagnostic_("Keyboard and mouse input is off: the RemoteDesktop portal failed: " +
                        reply.error().message().toStdString());
        } else if (reply.value().path() != watched_) {
            watch(reply.value().path());  // an old portal that names its requests itself
        }
    });
}

void PortalKeyboardMouse::watch(const QString& requestPath) {
    if (!watched_.isEmpty()) {
        bus_.disconnect(kService, watched_, kRequest, QStringLiteral("Response"), this,
                        SLOT(onResponse(uint, QVariantMap)));
    }
    watched_ = requestPath;
    bus_.connect(kService, watched_, kRequest, QStringLiteral("Response"), this,
                 SLOT(onResponse(uint, QVariantMap)));
}

void PortalKeyboardMouse::onResponse(uint response, const QVariantMap& results) {
    if (response != 0) {
        stage_ = Stage::kRefused;
        diagnostic_(response == 1 ? "Keyboard and mouse input is off: remote control was not "
                                    "allowed on this desktop (restart Zintor to be asked again)"
                                  : "Keyboard and mouse input is off: the RemoteDesktop portal "
                                    "ended the request");
        return;
    }
    switch (stage_) {
        case Stage::kCreating: {
            session_ = results.value(QStringLiteral("session_handle")).toString();
            QVariantMap options{{QStringLiteral("types"), kKeyboardAndPointer}};
            // Only a portal that knows them gets them.
            if (version_ >= kPersistingVersion) {
                options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
            }
            if (version_ >= kPersistingVersion && !restoreToken_.empty()) {
                options.insert(QStringLiteral("restore_token"),
                               QString::fromStdString(restoreToken_));
            }
            stage_ = Stage::kSelecting;
            request(QStringLiteral("SelectDevices"),
                    {QVariant::fromValue(QDBusObjectPath(session_))}, options);
            break;
        }
        case Stage::kSelecting:
            stage_ = Stage::kStarting;
            request(QStringLiteral("Start"),
                    {QVariant::fromValue(QDBusObjectPath(session_)), QString()}, {});
            break;
        case Stage::kStarting: {
            stage_ = Stage::kRunning;
            bus_.connect(kService, session_, kSession, QStringLiteral("Closed"), this,
                         SLOT(onSessionClosed()));
            const std::string token =
                results.value(QStringLiteral("restore_token")).toString().toStdString();
            if (!token.empty() && token != restoreToken_) {
                restoreToken_ = token;
                saveToken_(token);
            }
            if (waitReported_) {
                diagnostic_("Keyboard and mouse input is on: the desktop allowed remote control");
                waitReported_ = false;
            }
            break;
        }
        default:
            break;
    }
}

void PortalKeyboardMouse::onSessionClosed() {
    bus_.disconnect(kService, session_, kSession, QStringLiteral("Closed"), this,
                    SLOT(onSessionClosed()));
    stage_ = Stage::kIdle;
    session_.clear();
    diagnostic_(
        "Keyboard and mouse input is off: the desktop ended remote control; the next key "
        "asks for it again");
}

bool PortalKeyboardMouse::usable() {
    if (stage_ == Stage::kRunning) {
        return true;
    }
    if (stage_ == Stage::kIdle) {
        start();
    }
    if (!waitReported_ && stage_ != Stage::kRefused) {
        waitReported_ = true;
        diagnostic_("Keyboard and mouse input waits for the desktop to allow remote control");
    }
    return false;
}

void PortalKeyboardMouse::notify(const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kRemoteDesktop, method);
    call.setArguments(QVariantList{QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap()} +
                      arguments);
    // Messages keep their order on the bus; no answer is awaited.
    bus_.send(call);
}

void PortalKeyboardMouse::sendKey(std::uint8_t vk, bool down) {
    if (!usable()) {
        return;
    }
    const auto keysym = static_cast<int>(xTestKeySymForVirtualKey(vk));
    if (keysym == 0) {
        if (!reported_.test(vk)) {
            reported_.set(vk);
            diagnostic_("No key is sent for virtual key " + std::to_string(vk) +
                        ": it has no key symbol");
        }
        return;
    }
    notify(QStringLiteral("NotifyKeyboardKeysym"), {keysym, down ? 1u : 0u});
}

void PortalKeyboardMouse::keyDown(std::uint8_t vk) {
    sendKey(vk, true);
}

void PortalKeyboardMouse::keyUp(std::uint8_t vk) {
    sendKey(vk, false);
}

void PortalKeyboardMouse::keyPress(std::uint8_t vk) {
    sendKey(vk, true);
    sendKey(vk, false);
}

bool PortalKeyboardMouse::typeCharacter(char32_t character) {
    const auto keysym = static_cast<int>(keySymForCharacter(character));
    if (keysym == 0) {
        return false;
    }
    if (usable()) {
        notify(QStringLiteral("NotifyKeyboardKeysym"), {keysym, 1u});
        notify(QStringLiteral("NotifyKeyboardKeysym"), {keysym, 0u});
    }
    return true;
}

void PortalKeyboardMouse::sendButton(int button, bool down) {
    if (usable()) {
        notify(QStringLiteral("NotifyPointerButton"), {button, down ? 1u : 0u});
    }
}

void PortalKeyboardMouse::leftButtonDown() {
    sendButton(BTN_LEFT, true);
}

void PortalKeyboardMouse::leftButtonUp() {
    sendButton(BTN_LEFT, false);
}

void PortalKeyboardMouse::rightButtonDown() {
    sendButton(BTN_RIGHT, true);
}

void PortalKeyboardMouse::rightButtonUp() {
    sendButton(BTN_RIGHT, false);
}

bool PortalKeyboardMouse::getCursor(int&, int&) {
    return false;
}

void PortalKeyboardMouse::setCursor(int, int) {}

void PortalKeyboardMouse::moveCursorBy(int dx, int dy) {
    if (usable()) {
        notify(QStringLiteral("NotifyPointerMotion"),
               {static_cast<double>(dx), static_cast<double>(dy)});
    }
}

void PortalKeyboardMouse::wheel(int dx, int dy) {
    if (!usable()) {
        return;
    }
    // Axis 0 is vertical, 1 horizontal; steps as a wheel's notches.
    if (dy != 0) {
        notify(QStringLiteral("NotifyPointerAxisDiscrete"), {0u, dy});
    }
    if (dx != 0) {
        notify(QStringLiteral("NotifyPointerAxisDiscrete"), {1u, dx});
    }
}

}  // namespace zintor

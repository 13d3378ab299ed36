// The portal adapter's D-Bus exchange, against a STAND-IN for xdg-desktop-portal's RemoteDesktop
// interface on a private bus (no real portal runs headless here; see the README).
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QVariantMap>

#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "platform/linux/PortalKeyboardMouse.h"

namespace zintor {
namespace {

// The stand-in, on a connection of its own to the bus at `address`, is a portal of version 2: it
// answers every request at once, through the Request object's Response signal after the method's
// reply, as the portal does, and gives "token-2" as the restore token. It records each call as its
// name, less "NotifyKeyboard" or "NotifyPointer", and number arguments ("Keysym 97 1", "Motion -3
// 2", "SelectDevices types=3 persist_mode=2 restore_token=t"); a session other than the one it made
// adds " (unknown session)".
class PortalStandIn : public QDBusVirtualObject {
  public:
    explicit PortalStandIn(const std::string& address)
        : bus_(QDBusConnection::connectToBus(QString::fromStdString(address), "portal")) {
        ok = bus_.registerService("org.freedesktop.portal.Desktop") &&
             bus_.registerVirtualObject("/org/freedesktop/portal/desktop", this);
    }
    ~PortalStandIn() override { QDBusConnection::disconnectFromBus("portal"); }

    bool ok = false;
    std::vector<std::string> calls;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString method = message.member();
        QString call = QString(method).remove("NotifyKeyboard").remove("NotifyPointer");
        QVariantMap options;
        for (const QVariant& argument : message.arguments()) {
            if (argument.userType() == qMetaTypeId<QDBusObjectPath>()) {
                call += argument.value<QDBusObjectPath>().path() == session_ ? ""
                                                                             : " (unknown session)";
            } else if (argument.userType() == qMetaTypeId<QDBusArgument>()) {
                options = qdbus_cast<QVariantMap>(argument);
            } else if (argument.userType() != QMetaType::QString) {  // not Start's parent window
                call += " " + argument.toString();
            }
        }
        for (const char* name : {"types", "persist_mode", "restore_token"}) {
            call += method == "SelectDevices"
                        ? QString(" %1=%2").arg(name, options.value(name).toString())
                        : "";
        }
        calls.push_back(call.toStdString());
        if (!options.contains("handle_token")) {
            return bus_.send(message.createReply());
        }
        const QString request = "/org/freedesktop/portal/desktop/request/" +
                                message.service().mid(1).replace('.', '_') + "/" +
                                options.value("handle_token").toString();
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (method == "CreateSession") {
            session_ = "/org/freedesktop/portal/desktop/session/1/" +
                       options.value("session_handle_token").toString();
            results = {{"session_handle", session_}};
        } else if (method == "Start") {
            results = {{"devices", 3u}, {"restore_token", "token-2"}};
        }
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        return bus_.send(response << 0u << results);
    }

  private:
    QDBusConnection bus_;
    QString session_;
};

using Texts = std::vector<std::string>;

TEST(PortalInputAgainstStandIn, SessionWithTheKeptTokenThenKeysymsAButtonAndARelativeMove) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSessionBus::installed(), "dbus-daemon is not installed");
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    PortalStandIn portal(bus.address());
    ASSERT_TRUE(portal.ok);
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "client");

    // Version 2 keeps the permission: asked to, with the token kept; the new token is saved.
    std::string saved;
    PortalKeyboardMouse input(
        client, 2, "token-1", [&](const std::string& token) { saved = token; },
        [](const std::string&) {});
    input.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return input.running(); }))
        << ::testing::PrintToString(portal.calls);
    EXPECT_EQ(saved, "token-2");

    input.keyDown(16), input.keyPress('A'), input.keyUp(16);
    input.moveCursorBy(-3, 2);
    input.leftButtonDown(), input.leftButtonUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.size() >= 10; }));
    EXPECT_EQ(portal.calls,
              (Texts{"CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=token-1",
                     "Start", "Keysym 65505 1", "Keysym 97 1", "Keysym 97 0", "Keysym 65505 0",
                     "Motion -3 2", "Button 272 1", "Button 272 0"}));
}

}  // namespace
}  // namespace zintor

// The portal adapter's D-Bus exchange, against a STAND-IN for xdg-desktop-portal's RemoteDesktop
// interface on a private bus (no real portal runs headless here; see the README).
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QVariantMap>

#include <chrono>
#include <future>

#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "platform/linux/PortalKeyboardMouse.h"

namespace zintor {
namespace {

// The stand-in, on a connection of its own to the bus at `address`, answers the version property
// (1, as xdg-desktop-portal 1.16 of Debian 12 does, unless told otherwise) and every request at
// once, through the Request object's Response signal after the method's
// reply, as the portal does. It records each call as its name, less "NotifyKeyboard" or
// "NotifyPointer", and number arguments ("Keysym 97 1", "Motion -3 2", "SelectDevices types=3
// persist_mode=2 restore_token=t"); a session other than the one it made adds " (unknown session)".
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
    uint startResponse = 0;  // what Start answers: 0 allowed, 1 refused by the user
    uint version = 1;
    // Ends the running session as a desktop does when the user revokes it.
    void closeSession() {
        bus_.send(QDBusMessage::createSignal(session_, "org.freedesktop.portal.Session", "Closed"));
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString method = message.member();
        if (method == "Get") {
            return bus_.send(message.createReply(QVariant::fromValue(QDBusVariant(version))));
        }
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
            results = {{"devices", 3u}};
            if (version >= 2) {
                results.insert("restore_token", "token-2");
            }
        }
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        return bus_.send(response << (method == "Start" ? startResponse : 0u) << results);
    }

  private:
    QDBusConnection bus_;
    QString session_;
};

using Texts = std::vector<std::string>;

TEST(PortalInputAgainstStandIn, SessionThenKeysymsButtonsRelativeMovesAndTheTokenFromVersion2) {
    ZINTOR_SKIP_UNLESS(testing::PrivateSessionBus::installed(), "dbus-daemon is not installed");
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    PortalStandIn portal(bus.address());
    ASSERT_TRUE(portal.ok);
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "client");
    // The probe blocks (the real portal is another process): here the stand-in must go on.
    auto offered =
        std::async(std::launch::async, [&] { return PortalKeyboardMouse::offeredVersion(client); });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return offered.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    ASSERT_EQ(offered.get(), 1u);

    Texts said;
    std::string saved;
    const auto save = [&](const std::string& token) { saved = token; };
    const auto say = [&](const std::string& message) { said.push_back(message); };
    // Version 1 knows neither persist_mode nor restore_token: neither is sent.
    PortalKeyboardMouse input(client, 1, "token-1", save, say);
    input.keyPress('A'), input.keyPress('B');  // not yet allowed: dropped, said and asked once
    ASSERT_TRUE(QTest::qWaitFor([&] { return input.running(); }))
        << ::testing::PrintToString(portal.calls);

    input.keyDown(16), input.keyPress('A'), input.keyUp(16);
    input.keyPress(7);  // no key symbol: nothing
    EXPECT_TRUE(input.typeCharacter(U'\u20ac') && input.typeCharacter(U'\u2603'));
    EXPECT_FALSE(input.typeCharacter(U'\a'));
    input.moveCursorBy(-3, 2);
    input.leftButtonDown(), input.leftButtonUp(), input.rightButtonDown(), input.wheel(-1, 2);
    int x = 0, y = 0;
    EXPECT_FALSE(input.getCursor(x, y));
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.size() >= 17; }));
    EXPECT_EQ(portal.calls,
              (Texts{"CreateSession", "SelectDevices types=3 persist_mode= restore_token=", "Start",
                     "Keysym 65505 1", "Keysym 97 1", "Keysym 97 0", "Keysym 65505 0",
                     "Keysym 8364 1", "Keysym 8364 0", "Keysym 16786947 1", "Keysym 16786947 0",
                     "Motion -3 2", "Button 272 1", "Button 272 0", "Button 273 1",
                     "AxisDiscrete 0 2", "AxisDiscrete 1 -1"}));

    // The user revokes it: the next key asks again.
    portal.calls.clear();
    portal.startResponse = 1;
    portal.closeSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !input.running(); }));
    input.keyPress('A');
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.size() >= 3 && said.size() >= 7; }));
    input.keyPress('A');
    EXPECT_EQ(portal.calls, (Texts{"CreateSession",
                                   "SelectDevices types=3 persist_mode= restore_token=", "Start"}));
    EXPECT_EQ(said, (Texts{"The desktop's RemoteDesktop portal (version 1) cannot keep the "
                           "permission: the desktop asks for it at every start",
                           "Keyboard and mouse input waits for the desktop to allow remote control",
                           "Keyboard and mouse input is on: the desktop allowed remote control",
                           "No key is sent for virtual key 7: it has no key symbol",
                           "Keyboard and mouse input is off: the desktop ended remote control; "
                           "the next key asks for it again",
                           "Keyboard and mouse input waits for the desktop to allow remote control",
                           "Keyboard and mouse input is off: remote control was not allowed on "
                           "this desktop (restart Zintor to be asked again)"}));

    // Version 2 keeps the permission: asked to, with the token kept; the new token is saved.
    EXPECT_EQ(saved, "");
    portal.calls.clear();
    portal.version = 2;
    portal.startResponse = 0;
    PortalKeyboardMouse persisting(client, 2, "token-1", save, say);
    persisting.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return persisting.running(); }));
    EXPECT_EQ(portal.calls[1], "SelectDevices types=3 persist_mode=2 restore_token=token-1");
    EXPECT_EQ(saved, "token-2");
}

}  // namespace
}  // namespace zintor

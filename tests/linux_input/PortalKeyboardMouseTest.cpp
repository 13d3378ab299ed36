// The portal adapter's D-Bus exchange, against a STAND-IN for xdg-desktop-portal's RemoteDesktop
// interface on a private bus (no real portal runs headless here; see the README).
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <chrono>
#include <future>

#include "NeedsComponent.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "platform/linux/PortalKeyboardMouse.h"

namespace zintor {
namespace {

// The stand-in, on a connection of its own to the bus at `address`, answers every request at once
// through the Request object's Response signal, after the method's reply, as the portal does, and
// records the calls: "CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=t",
// "Start", "key 97 1", "motion -3,0", "button 272 1".
class PortalStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint version READ version)

  public:
    explicit PortalStandIn(const std::string& address)
        : bus_(QDBusConnection::connectToBus(QString::fromStdString(address), "portal")) {
        ok_ = bus_.registerService("org.freedesktop.portal.Desktop") &&
              bus_.registerObject(
                  "/org/freedesktop/portal/desktop", this,
                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    }
    ~PortalStandIn() override { QDBusConnection::disconnectFromBus("portal"); }

    bool ok() const { return ok_; }
    uint version() const { return 2; }
    std::vector<std::string> calls;
    uint startResponse = 0;  // what Start answers: 0 allowed, 1 refused by the user
    // Ends the running session as a desktop does when the user revokes it.
    void closeSession() {
        bus_.send(QDBusMessage::createSignal(session_, "org.freedesktop.portal.Session", "Closed"));
    }

  public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        calls.push_back("CreateSession");
        session_ = "/org/freedesktop/portal/desktop/session/1/" +
                   options.value("session_handle_token").toString();
        return answer(message, options, 0, {{"session_handle", session_}});
    }
    QDBusObjectPath SelectDevices(const QDBusObjectPath& session, const QVariantMap& options,
                                  const QDBusMessage& message) {
        const auto option = [&](const char* name) {
            return std::string(" ") + name + "=" + options.value(name).toString().toStdString();
        };
        calls.push_back("SelectDevices" + option("types") + option("persist_mode") +
                        option("restore_token") + known(session));
        return answer(message, options, 0, {});
    }
    QDBusObjectPath Start(const QDBusObjectPath& session, const QString&,
                          const QVariantMap& options, const QDBusMessage& message) {
        calls.push_back("Start" + known(session));
        return answer(message, options, startResponse,
                      {{"devices", 3u}, {"restore_token", "token-2"}});
    }
    void NotifyKeyboardKeysym(const QDBusObjectPath&, const QVariantMap&, int keysym, uint state) {
        calls.push_back("key " + std::to_string(keysym) + " " + std::to_string(state));
    }
    void NotifyPointerMotion(const QDBusObjectPath&, const QVariantMap&, double dx, double dy) {
        calls.push_back(QString("motion %1,%2").arg(dx).arg(dy).toStdString());
    }
    void NotifyPointerButton(const QDBusObjectPath&, const QVariantMap&, int button, uint state) {
        calls.push_back("button " + std::to_string(button) + " " + std::to_string(state));
    }

  private:
    std::string known(const QDBusObjectPath& session) const {
        return session.path() == session_ ? "" : " (unknown session)";
    }
    QDBusObjectPath answer(const QDBusMessage& message, const QVariantMap& options, uint response,
                           const QVariantMap& results) {
        const QString path = "/org/freedesktop/portal/desktop/request/" +
                             message.service().mid(1).replace('.', '_') + "/" +
                             options.value("handle_token").toString();
        QTimer::singleShot(0, this, [this, path, response, results] {
            QDBusMessage signal =
                QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
            bus_.send(signal << response << results);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection bus_;
    QString session_;
    bool ok_ = false;
};

using Texts = std::vector<std::string>;

TEST(PortalInputAgainstStandIn, SessionWithRestoreTokenThenKeysymsButtonsAndRelativeMoves) {
    if (!testing::PrivateSessionBus::installed()) {
        ZINTOR_SKIP_WITHOUT("dbus-daemon is not installed");
    }
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    PortalStandIn portal(bus.address());
    ASSERT_TRUE(portal.ok());
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "client");
    // The probe blocks (the real portal is another process): here the stand-in must go on.
    auto offered =
        std::async(std::launch::async, [&] { return PortalKeyboardMouse::offered(client); });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return offered.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    ASSERT_TRUE(offered.get());

    Texts said;
    std::string saved;
    PortalKeyboardMouse input(
        client, "token-1", [&](const std::string& token) { saved = token; },
        [&](const std::string& message) { said.push_back(message); });
    input.keyPress('A');  // before the desktop agreed: dropped, said once, asks once
    input.keyPress('B');
    ASSERT_TRUE(QTest::qWaitFor([&] { return input.running(); }))
        << ::testing::PrintToString(portal.calls);
    EXPECT_EQ(saved, "token-2");

    input.keyDown(16);
    input.keyPress('A');
    input.keyUp(16);
    input.keyPress('1');
    input.keyPress(41);  // SELECT: sent as the key symbol, the desktop decides
    input.keyPress(7);   // no key symbol: nothing
    input.moveCursorBy(-3, 0);
    input.leftButtonDown();
    input.leftButtonUp();
    input.rightButtonDown();
    int x = 0, y = 0;
    EXPECT_FALSE(input.getCursor(x, y));
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.size() >= 15; }));
    EXPECT_EQ(portal.calls,
              (Texts{"CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=token-1",
                     "Start", "key 65505 1", "key 97 1", "key 97 0", "key 65505 0", "key 49 1",
                     "key 49 0", "key 65376 1", "key 65376 0", "motion -3,0", "button 272 1",
                     "button 272 0", "button 273 1"}));

    // The user revokes it: the next key asks again, with the newer token.
    portal.calls.clear();
    portal.startResponse = 1;
    portal.closeSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !input.running(); }));
    input.keyPress('A');
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.size() >= 3 && said.size() >= 6; }));
    input.keyPress('A');
    EXPECT_EQ(portal.calls,
              (Texts{"CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=token-2",
                     "Start"}));
    EXPECT_EQ(said, (Texts{"Keyboard and mouse input waits for the desktop to allow remote control",
                           "Keyboard and mouse input is on: the desktop allowed remote control",
                           "No key is sent for virtual key 7: it has no key symbol",
                           "Keyboard and mouse input is off: the desktop ended remote control; "
                           "the next key asks for it again",
                           "Keyboard and mouse input waits for the desktop to allow remote control",
                           "Keyboard and mouse input is off: remote control was not allowed on "
                           "this desktop (restart Zintor to be asked again)"}));
}

}  // namespace
}  // namespace zintor

#include "PortalKeyboardMouseTest.moc"

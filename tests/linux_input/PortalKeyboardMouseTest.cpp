// The portal adapter's D-Bus exchange, against a STAND-IN for xdg-desktop-portal's RemoteDesktop
// interface on a private bus (no real portal runs headless here; see the README).
#include <gtest/gtest.h>

#include <QDBusConnection>

#include <chrono>
#include <future>

#include "NeedsComponent.h"
#include "PortalStandIn.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"
#include "platform/linux/PortalKeyboardMouse.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

TEST(PortalInputAgainstStandIn, SessionWithRestoreTokenThenKeysymsButtonsAndRelativeMoves) {
    if (!testing::PrivateSessionBus::installed()) {
        ZINTOR_SKIP_WITHOUT("dbus-daemon is not installed");
    }
    testing::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start());
    testing::PortalStandIn portal(bus.address());
    ASSERT_TRUE(portal.ok());
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "client");
    // The probe blocks (the real portal is another process): here the stand-in must go on.
    auto offered =
        std::async(std::launch::async, [&] { return PortalKeyboardMouse::offered(client); });
    test::runUntil(
        [&] { return offered.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    ASSERT_TRUE(offered.get());

    Texts said;
    std::string saved;
    PortalKeyboardMouse input(
        client, "token-1", [&](const std::string& token) { saved = token; },
        [&](const std::string& message) { said.push_back(message); });
    input.keyPress('A');  // before the desktop agreed: dropped, said once, asks once
    input.keyPress('B');
    ASSERT_TRUE(test::runUntil([&] { return input.running(); }))
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
    ASSERT_TRUE(test::runUntil([&] { return portal.calls.size() >= 15; }));
    EXPECT_EQ(portal.calls,
              (Texts{"CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=token-1",
                     "Start", "key 65505 1", "key 97 1", "key 97 0", "key 65505 0", "key 49 1",
                     "key 49 0", "key 65376 1", "key 65376 0", "motion -3,0", "button 272 1",
                     "button 272 0", "button 273 1"}));

    // The user revokes it: the next key asks again, with the newer token.
    portal.calls.clear();
    portal.startResponse = 1;
    portal.closeSession();
    ASSERT_TRUE(test::runUntil([&] { return !input.running(); }));
    input.keyPress('A');
    ASSERT_TRUE(test::runUntil([&] { return portal.calls.size() >= 3 && said.size() >= 6; }));
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

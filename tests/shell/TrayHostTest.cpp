// The tray icon against a real tray host: trayer on a private Xvfb display, spoken to through
// the X11 system tray protocol.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "ChildProcess.h"
#include "PrivateXServer.h"
#include "ShellTestApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"

namespace zintor {
namespace {

TEST(TrayHostTest, WithoutAHostTheMainWindowStandsInAfterAWaitUntilOneComes) {
    // An Xvfb of the test's own, so that the tray host started there is seen by this test only;
    // the classic tray only (a session bus could offer a StatusNotifierItem host instead).
    testing::PrivateXServer xvfb;
    ASSERT_TRUE(xvfb.start() && !xvfb.shared());
    qputenv("DISPLAY", xvfb.display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    test::shellApp();
    test::RecordingEvents events;
    QtDesktop desktop;
    desktop.setListener(&events);
    desktop.setTrayWait(1500);

    desktop.trayAdd("Zintor"), desktop.hideMainWindow();
    MainWindow& main = desktop.mainWindow();
    QTest::qWait(1000);  // a tray may still come (at login the panel often starts later)
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.isVisible(); }));
    EXPECT_TRUE(desktop.showingMainInsteadOfTray() && main.noTrayLine()->isVisible());
    desktop.traySetTip("Zintor - Connected");
    EXPECT_EQ(main.windowTitle(), "Zintor - Connected");
    desktop.notify("Zintor", "KeyMap.xml:3:1: something is wrong");
    QWidget* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        box = w->objectName() == "ZintorNotice" && w->isVisible() ? w : box;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isModal());
    box->close(), main.close();
    EXPECT_EQ(events.calls, std::vector<std::string>{"exit"});
    EXPECT_TRUE(main.isVisible());  // the program ends itself, not the window

    // A tray comes: the window that stood in for it goes.
    testing::ChildProcess host;
    ASSERT_TRUE(host.start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                            "--height", "32", "--transparent", "false", "--SetDockType", "true"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }));
    EXPECT_FALSE(desktop.showingMainInsteadOfTray());
}

}  // namespace
}  // namespace zintor

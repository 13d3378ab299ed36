// The tray icon against a real tray host: trayer on a private Xvfb display, spoken to through
// the X11 system tray protocol. Mouse buttons are pressed with XTest, as a user's would be.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "ChildProcess.h"
#include "PrivateXServer.h"
#include "ShellTestApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace zintor {
namespace {

// The X window Qt embeds into the tray, or nullptr while there is none.
QWidget* iconWidget() {
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->inherits("QSystemTrayIconSys")) {
            return w;
        }
    }
    return nullptr;
}

bool viewable(Display* x, QWidget* w) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(x, w->winId(), &attributes) && attributes.map_state == IsViewable;
}

// The icon is a child of the tray host's window (not of the root) and can be seen.
bool embedded(Display* x) {
    QWidget* icon = iconWidget();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!icon || !icon->isVisible() ||
        !XQueryTree(x, icon->winId(), &root, &parent, &children, &count)) {
        return false;
    }
    XFree(children);
    return parent != root && viewable(x, icon);
}

// Presses or lets go `button` over the middle of the icon.
void press(Display* x, unsigned button, bool down) {
    QWidget* icon = iconWidget();
    ASSERT_NE(icon, nullptr);
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x, icon->winId(), DefaultRootWindow(x), icon->width() / 2,
                          icon->height() / 2, &rootX, &rootY, &child);
    XTestFakeMotionEvent(x, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(x, button, down ? True : False, CurrentTime);
    XFlush(x);
}

TEST(TrayHostTest, WithoutAHostTheMainWindowStandsInAfterAWaitUntilOneComesThenOnlyARightPress) {
    // An Xvfb of the test's own, so that the tray host started there is seen by this test only;
    // the classic tray only (a session bus could offer a StatusNotifierItem host instead).
    testing::PrivateXServer xvfb;
    ASSERT_TRUE(xvfb.start() && !xvfb.shared());
    qputenv("DISPLAY", xvfb.display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    test::shellApp();
    Display* x = XOpenDisplay(xvfb.display().c_str());  // for the test's own looks and clicks
    ASSERT_NE(x, nullptr);
    test::RecordingEvents events;
    QtDesktop desktop;
    desktop.setListener(&events);
    desktop.setTrayWait(1500);

    desktop.trayAdd("Zintor");
    desktop.hideMainWindow();
    MainWindow& main = desktop.mainWindow();
    QTest::qWait(1000);  // a tray may still come (at login the panel often starts later)
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.isVisible() && viewable(x, &main); }));
    EXPECT_TRUE(desktop.showingMainInsteadOfTray());
    EXPECT_TRUE(main.noTrayLine()->isVisible());
    desktop.traySetTip("Zintor - Connected");
    EXPECT_EQ(main.windowTitle(), "Zintor - Connected");
    desktop.notify("Zintor", "KeyMap.xml:3:1: something is wrong");
    QWidget* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        box = w->objectName() == "ZintorNotice" && w->isVisible() ? w : box;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isModal());
    box->close();
    main.close();
    EXPECT_EQ(events.calls, std::vector<std::string>{"exit"});
    EXPECT_TRUE(main.isVisible());  // the program ends itself, not the window
    events.calls.clear();

    // A tray comes: the icon goes in, the window that stood in for it goes.
    testing::ChildProcess host;
    ASSERT_TRUE(host.start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                            "--height", "32", "--transparent", "false", "--SetDockType", "true"}));
    ASSERT_TRUE(QTest::qWaitFor([x] { return embedded(x); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }));
    EXPECT_FALSE(desktop.showingMainInsteadOfTray());
    QMenu* menu = desktop.trayMenu().menu();
    press(x, 1, true);
    press(x, 1, false);
    QTest::qWait(300);
    EXPECT_FALSE(menu->isVisible());
    press(x, 3, true);  // opens on the press, before the button is let go
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    press(x, 3, false);
    menu->hide();
    EXPECT_TRUE(events.calls.empty());
    XCloseDisplay(x);
}

}  // namespace
}  // namespace zintor

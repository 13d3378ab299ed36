// The tray icon against a real tray host: trayer on a private Xvfb display, spoken to through
// the X11 system tray protocol. Mouse buttons are pressed with XTest, as a user's would be.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <memory>

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

class TrayHostTest : public ::testing::Test {
  protected:
    // One Xvfb of the test's own for the test process, so that the tray host started there is
    // seen by this test only.
    static void SetUpTestSuite() {
        xvfb_ = new testing::PrivateXServer;
        ASSERT_TRUE(xvfb_->start() && !xvfb_->shared());
        display_ = xvfb_->display();
        qputenv("DISPLAY", display_.c_str());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The classic tray only: a session bus could offer a StatusNotifierItem host instead.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        test::shellApp();
        x_ = XOpenDisplay(display_.c_str());  // for the test's own looks and clicks
        ASSERT_NE(x_, nullptr);
    }

    void SetUp() override {
        ASSERT_NE(x_, nullptr);  // the display came up
        desktop->setListener(&events);
    }

    // The X window Qt embeds into the tray, or nullptr while there is none.
    static QWidget* IconWidget() {
        for (QWidget* w : QApplication::allWidgets()) {
            if (w->inherits("QSystemTrayIconSys")) {
                return w;
            }
        }
        return nullptr;
    }

    // The icon is a child of the tray host's window (not of the root) and can be seen.
    bool Embedded() {
        QWidget* icon = IconWidget();
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!icon || !icon->isVisible() ||
            !XQueryTree(x_, icon->winId(), &root, &parent, &children, &count)) {
            return false;
        }
        XFree(children);
        return parent != root && Viewable(icon);
    }
    bool Viewable(QWidget* w) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(x_, w->winId(), &attributes) &&
               attributes.map_state == IsViewable;
    }

    void Press(unsigned button, bool down) {
        QWidget* icon = IconWidget();
        ASSERT_NE(icon, nullptr);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(x_, icon->winId(), DefaultRootWindow(x_), icon->width() / 2,
                              icon->height() / 2, &x, &y, &child);
        XTestFakeMotionEvent(x_, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(x_, button, down ? True : False, CurrentTime);
        XFlush(x_);
    }

    static inline testing::PrivateXServer* xvfb_ = nullptr;
    static inline std::string display_;
    static inline Display* x_ = nullptr;
    std::unique_ptr<testing::ChildProcess> host;
    test::WithApp app_;
    std::unique_ptr<QtDesktop> desktop = std::make_unique<QtDesktop>();
    test::RecordingEvents events;
};

TEST_F(TrayHostTest,
       WithoutAHostTheMainWindowStandsInUntilOneComesThenOnlyARightPressOpensTheMenu) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    desktop->trayAdd("Zintor");
    desktop->hideMainWindow();
    MainWindow& main = desktop->mainWindow();
    EXPECT_TRUE(desktop->showingMainInsteadOfTray());
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.isVisible() && Viewable(&main); }));
    EXPECT_TRUE(main.noTrayLine()->isVisible());
    desktop->traySetTip("Zintor - Connected");
    EXPECT_EQ(main.windowTitle(), "Zintor - Connected");
    desktop->notify("Zintor", "KeyMap.xml:3:1: something is wrong");
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

    host = std::make_unique<testing::ChildProcess>();
    ASSERT_TRUE(
        host->start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                     "--height", "32", "--transparent", "false", "--SetDockType", "true"}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Embedded(); }));
    // Started with a tray there, the main window stays hidden.
    desktop->trayRemove();
    ASSERT_TRUE(QTest::qWaitFor([] { return IconWidget() == nullptr; }));
    desktop = std::make_unique<QtDesktop>();
    desktop->setListener(&events);
    desktop->trayAdd("Zintor");
    desktop->hideMainWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Embedded(); }));
    EXPECT_FALSE(desktop->showingMainInsteadOfTray());
    EXPECT_FALSE(desktop->mainWindow().isVisible());
    EXPECT_EQ(desktop->trayIcon()->toolTip(), "Zintor");
    QMenu* menu = desktop->trayMenu().menu();
    Press(1, true);
    Press(1, false);
    QTest::qWait(300);
    EXPECT_FALSE(menu->isVisible());
    Press(3, true);  // opens on the press, before the button is let go
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    Press(3, false);
    menu->hide();
    EXPECT_TRUE(events.calls.empty());
    desktop->trayRemove();
    EXPECT_TRUE(QTest::qWaitFor([] { return IconWidget() == nullptr; }));
}

}  // namespace
}  // namespace zintor

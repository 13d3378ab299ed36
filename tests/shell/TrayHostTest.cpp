// The tray icon against a real tray host: trayer on a private Xvfb display, spoken to through
// the X11 system tray protocol. Mouse buttons are pressed with XTest, as a user's would be.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

#include "PrivateDisplay.h"
#include "ShellTestApp.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/TrayMenu.h"

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace zintor {
namespace {

using test::RecordingEvents;
using test::RunEventsUntil;

class TrayHostTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        display_ = new test::PrivateDisplay;  // one server for the test process
        ASSERT_TRUE(display_->start());
        qputenv("DISPLAY", display_->name().c_str());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The classic tray only: a session bus could offer a StatusNotifierItem host instead.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        test::ShellApp();
    }

    void SetUp() override {
        ASSERT_NE(display_, nullptr);
        x_ = XOpenDisplay(display_->name().c_str());
        ASSERT_NE(x_, nullptr);
        desktop = std::make_unique<QtDesktop>();
        desktop->setListener(&events);
    }
    void TearDown() override {
        desktop.reset();
        host.stop();
        if (x_) {
            XCloseDisplay(x_);
        }
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
        if (!icon || !icon->isVisible()) {
            return false;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(x_, static_cast<Window>(icon->winId()), &root, &parent, &children,
                        &count)) {
            return false;
        }
        if (children) {
            XFree(children);
        }
        XWindowAttributes attributes;
        return parent != root &&
               XGetWindowAttributes(x_, static_cast<Window>(icon->winId()), &attributes) &&
               attributes.map_state == IsViewable;
    }

    void Press(unsigned button, bool down) {
        QWidget* icon = IconWidget();
        ASSERT_NE(icon, nullptr);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(x_, static_cast<Window>(icon->winId()), DefaultRootWindow(x_),
                              icon->width() / 2, icon->height() / 2, &x, &y, &child);
        XTestFakeMotionEvent(x_, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(x_, button, down ? True : False, CurrentTime);
        XFlush(x_);
    }

    static test::PrivateDisplay* display_;
    Display* x_ = nullptr;
    test::TrayHost host;
    std::unique_ptr<QtDesktop> desktop;
    RecordingEvents events;
};

test::PrivateDisplay* TrayHostTest::display_ = nullptr;

TEST_F(TrayHostTest, WithAHostTheIconIsInTheTrayAndTheMainWindowHides) {
    ASSERT_TRUE(host.start(display_->name()));
    ASSERT_TRUE(RunEventsUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000));

    desktop->trayAdd("Zintor");
    desktop->hideMainWindow();

    EXPECT_TRUE(RunEventsUntil([this] { return Embedded(); }, 5000));
    EXPECT_FALSE(desktop->showingMainInsteadOfTray());
    EXPECT_FALSE(desktop->mainWindow().isVisible());
    EXPECT_EQ(desktop->trayIcon()->toolTip(), "Zintor");

    desktop->trayRemove();
    EXPECT_TRUE(RunEventsUntil([] { return IconWidget() == nullptr; }, 2000));
}

TEST_F(TrayHostTest, RightPressOpensTheMenuLeftClickDoesNothing) {
    ASSERT_TRUE(host.start(display_->name()));
    ASSERT_TRUE(RunEventsUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000));
    desktop->trayAdd("Zintor");
    ASSERT_TRUE(RunEventsUntil([this] { return Embedded(); }, 5000));
    QMenu* menu = desktop->trayMenu().menu();

    Press(1, true);
    Press(1, false);
    test::RunEventsFor(300);
    EXPECT_FALSE(menu->isVisible());

    Press(3, true);  // opens on the press, before the button is let go
    EXPECT_TRUE(RunEventsUntil([menu] { return menu->isVisible(); }, 3000));
    Press(3, false);
    menu->hide();
    EXPECT_TRUE(events.calls.empty());
}

TEST_F(TrayHostTest, WithoutAHostTheMainWindowIsShownAndTheIconComesWithALateHost) {
    // (A host of an earlier test in this process is gone once Qt has seen it go.)
    ASSERT_TRUE(RunEventsUntil([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }, 5000));
    desktop->trayAdd("Zintor");
    desktop->hideMainWindow();

    MainWindow& main = desktop->mainWindow();
    EXPECT_TRUE(desktop->showingMainInsteadOfTray());
    EXPECT_TRUE(RunEventsUntil([&] { return main.isVisible(); }, 2000));
    EXPECT_TRUE(main.noTrayLine()->isVisible());
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(x_, static_cast<Window>(main.winId()), &attributes));
    EXPECT_TRUE(RunEventsUntil(
        [&] {
            XGetWindowAttributes(x_, static_cast<Window>(main.winId()), &attributes);
            return attributes.map_state == IsViewable;
        },
        2000));

    // A tray host started later gets the icon.
    ASSERT_TRUE(host.start(display_->name()));
    EXPECT_TRUE(RunEventsUntil([this] { return Embedded(); }, 5000));
}

}  // namespace
}  // namespace zintor

#include "platform/linux/XTestConnection.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "platform/linux/XTestSigPipeBlock.h"

namespace zintor {

namespace {

constexpr std::chrono::seconds kRetryPause{1};

// Xlib's error handlers are global; the connections of this adapter register here so that the
// handlers can tell their displays from those of other Xlib users in the program.
std::vector<XTestConnection*>& liveConnections() {
    static std::vector<XTestConnection*> connections;
    return connections;
}

XTestConnection* connectionOf(Display* display) {
    for (XTestConnection* connection : liveConnections()) {
        if (connection->owns(display)) {
            return connection;
        }
    }
    return nullptr;
}

XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIoErrorHandler = nullptr;

// A protocol error on our display (a request the server refused) is not fatal for the program.
int onError(Display* display, XErrorEvent* event) {
    if (connectionOf(display) != nullptr) {
        return 0;
    }
    return previousErrorHandler != nullptr ? previousErrorHandler(display, event) : 0;
}

void onIoErrorExit(Display*, void* connection) {
    static_cast<XTestConnection*>(connection)->markLost();
}

// Returning from the global handler lets Xlib go on to the per-display exit handler above,
// which keeps the program alive.
int onIoError(Display* display) {
    if (XTestConnection* connection = connectionOf(display)) {
        connection->markLost();
        return 0;
    }
    return previousIoErrorHandler != nullptr ? previousIoErrorHandler(display) : 0;
}

void installHandlers() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        previousErrorHandler = XSetErrorHandler(onError);
        previousIoErrorHandler = XSetIOErrorHandler(onIoError);
    }
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace

XTestConnection::XTestConnection(Diagnostic diagnostic, std::string displayName)
    : diagnostic_(std::move(diagnostic)), displayName_(std::move(displayName)) {}

XTestConnection::~XTestConnection() {
    XTestSigPipeBlock block;
    close();
}

_XDisplay* XTestConnection::display() {
    if (pointerDisplay() == nullptr) {
        return nullptr;
    }
    handleEvents();
    closeIfLost();
    return display_;
}

_XDisplay* XTestConnection::pointerDisplay() {
    closeIfLost();
    if (display_ == nullptr && !open()) {
        return nullptr;
    }
    return display_;
}

void XTestConnection::flush() {
    if (display_ != nullptr && !lost_) {
        XFlush(display_);
    }
    closeIfLost();
}

void XTestConnection::flushXcb() {
    if (display_ != nullptr && !lost_ && xcb_flush(XGetXCBConnection(display_)) <= 0) {
        lost_ = true;
    }
    closeIfLost();
}

void XTestConnection::report(const std::string& message) const {
    if (diagnostic_) {
        diagnostic_(message);
    } else {
        std::cerr << "zintor: " << message << std::endl;
    }
}

bool XTestConnection::open() {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextAttempt_) {
        return false;
    }
    nextAttempt_ = now + kRetryPause;
    const std::string failure = connect();
    if (failure.empty()) {
        if (failureReported_) {
            report("Keyboard and mouse input is on again: X display " +
                   quoted(DisplayString(display_)));
        }
        failureReported_ = false;
        return true;
    }
    if (!failureReported_) {
        failureReported_ = true;
        report("Keyboard and mouse input is off: " + failure);
    }
    return false;
}

std::string XTestConnection::connect() {
    const char* name = displayName_.empty() ? nullptr : displayName_.c_str();
    const std::string shownName = "X display " + quoted(XDisplayName(name));
    if (name == nullptr && std::getenv("DISPLAY") == nullptr) {
        return std::getenv("WAYLAND_DISPLAY") != nullptr
                   ? "this Wayland session gives no X display (DISPLAY is not set); Wayland "
                     "input is not supported yet"
                   : "there is no X display (DISPLAY is not set)";
    }
    // The handlers guard the display from its first request after XOpenDisplay on. (A server
    // that dies within the millisecond XOpenDisplay takes still ends the program: Xlib offers
    // no way to guard a display before it is returned.)
    installHandlers();
    lost_ = false;
    display_ = XOpenDisplay(name);
    if (display_ == nullptr) {
        return "cannot open " + shownName;
    }
    liveConnections().push_back(this);
    XSetIOErrorExitHandler(display_, onIoErrorExit, this);
    int event = 0, error = 0, major = 0, minor = 0;
    const bool hasXTest = !lost_ && XTestQueryExtension(display_, &event, &error, &major, &minor);
    if (hasXTest) {
        watchLayout();
    }
    if (!lost_ && hasXTest) {
        return {};
    }
    const std::string failure =
        lost_ ? shownName + " went away while connecting" : shownName + " has no XTEST extension";
    close();
    lost_ = false;
    return failure;
}

void XTestConnection::close() {
    if (display_ == nullptr) {
        return;
    }
    XCloseDisplay(display_);
    display_ = nullptr;
    auto& connections = liveConnections();
    connections.erase(std::remove(connections.begin(), connections.end(), this), connections.end());
}

void XTestConnection::closeIfLost() {
    if (display_ == nullptr || !lost_) {
        return;
    }
    const std::string name = DisplayString(display_);
    close();
    lost_ = false;
    nextAttempt_ = std::chrono::steady_clock::now() + kRetryPause;
    failureReported_ = true;
    report("Keyboard and mouse input is off: lost the connection to X display " + quoted(name) +
           "; trying again later");
}

void XTestConnection::watchLayout() {
    // Xlib keeps a copy of the layout. A client that uses XKB (Xlib does when the server has it)
    // hears of a new layout only when it asks for XKB's notifications; others get MappingNotify.
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    xkbEventBase_ = -1;
    if (XkbQueryExtension(display_, &opcode, &xkbEventBase_, &error, &major, &minor)) {
        const unsigned long changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(display_, XkbUseCoreKbd, changes, changes);
    } else {
        xkbEventBase_ = -1;
    }
}

void XTestConnection::handleEvents() {
    // Only layout changes arrive here: nothing else is asked for.
    while (!lost_ && XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify || event.type == xkbEventBase_) {
            XRefreshKeyboardMapping(&event.xmapping);
            ++mappingChanges_;
        }
    }
}

}  // namespace zintor

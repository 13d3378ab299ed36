#include "LoopWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>

namespace zintor::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPingEvery = std::chrono::milliseconds(250);

// A window that goes away (the program ended) must not end this process too.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

std::int64_t msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

LoopWatch::LoopWatch(const std::string& display) {
    XSetErrorHandler(ignoreError);
    display_ = XOpenDisplay(display.c_str());
    error_ = display_ == nullptr ? "cannot open the X display " + display : "";
}

LoopWatch::~LoopWatch() {
    stop();
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

unsigned long LoopWatch::findWindow(pid_t pid) const {
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && found == 0; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* value = nullptr;
        XGetWindowProperty(display_, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &value);
        const bool ours = items == 1 && *reinterpret_cast<unsigned long*>(value) == unsigned(pid);
        XFree(value);
        Atom* protocols = nullptr;
        int protocolCount = 0;
        if (ours && XGetWMProtocols(display_, children[i], &protocols, &protocolCount) != 0) {
            found = std::count(protocols, protocols + protocolCount, ping) > 0 ? children[i] : 0;
            XFree(protocols);
        }
    }
    XFree(children);
    return found;
}

bool LoopWatch::start(pid_t pid, std::chrono::milliseconds limit) {
    if (display_ == nullptr) {
        return false;
    }
    const auto end = Clock::now() + limit;
    while ((window_ = findWindow(pid)) == 0 && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (window_ == 0) {
        error_ = "no window of the program answers _NET_WM_PING";
        return false;
    }
    const Window root = DefaultRootWindow(display_);
    const int screen = DefaultScreen(display_);
    cover_ = XCreateSimpleWindow(display_, root, 0, 0, DisplayWidth(display_, screen),
                                 DisplayHeight(display_, screen), 0, 0, 0);
    XMapRaised(display_, cover_);
    // The answer goes to the root window, for StructureNotify (Qt 6) or SubstructureNotify
    // listeners (what window managers take).
    XSelectInput(display_, root, StructureNotifyMask | SubstructureNotifyMask);
    XSync(display_, False);
    thread_ = std::thread([this] { run(); });
    return true;
}

std::chrono::milliseconds LoopWatch::stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    return std::chrono::milliseconds(longestMs_.load());
}

void LoopWatch::run() {
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
    for (long serial = 1; !stopping_; ++serial) {
        // The program may have raised a window or taken the focus meanwhile.
        XRaiseWindow(display_, cover_);
        XSetInputFocus(display_, cover_, RevertToPointerRoot, CurrentTime);
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window_;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(ping);
        event.xclient.data.l[1] = serial;
        event.xclient.data.l[2] = static_cast<long>(window_);
        XSendEvent(display_, window_, False, NoEventMask, &event);
        XFlush(display_);
        const auto sent = Clock::now();
        for (bool answer = false; !answer && !stopping_;) {
            while (!answer && XPending(display_) > 0) {
                XNextEvent(display_, &event);
                answer = event.type == ClientMessage &&
                         event.xclient.data.l[0] == static_cast<long>(ping) &&
                         event.xclient.data.l[1] == serial;
            }
            if (!answer) {
                pollfd fd{ConnectionNumber(display_), POLLIN, 0};
                ::poll(&fd, 1, 50);
            }
            longestMs_ = std::max(longestMs_.load(), msSince(sent));
            answered_ += answer ? 1 : 0;
        }
        while (!stopping_ && Clock::now() < sent + kPingEvery) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

std::string LoopWatch::held() const {
    std::string out;
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] & (1 << (code % 8))) != 0) {
            out += (out.empty() ? "key " : ", key ") + std::to_string(code);
        }
    }
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &x, &y, &mask);
    for (int button = 1; button <= 5; ++button) {
        if ((mask & (Button1Mask << (button - 1))) != 0) {
            out += (out.empty() ? "button " : ", button ") + std::to_string(button);
        }
    }
    return out;
}

}  // namespace zintor::test

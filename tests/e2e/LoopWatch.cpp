#include "LoopWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>

namespace zintor::test {

using Clock = std::chrono::steady_clock;

LoopWatch::LoopWatch(const std::string& display) {
    // A window that goes away (the program ended) must not end this process too.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    display_ = XOpenDisplay(display.c_str());
    error_ = display_ == nullptr ? "cannot open the X display " + display : "";
}

LoopWatch::~LoopWatch() {
    stop();
    display_ != nullptr ? void(XCloseDisplay(display_)) : void();
}

unsigned long LoopWatch::findWindow(pid_t pid) const {
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    const Atom ping = XInternAtom(display_, "_NET_WM_PING", False);
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && found == 0; ++i) {
        Atom type = 0, *protocols = nullptr;
        int format = 0, protocolCount = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        XGetWindowProperty(display_, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &value);
        const bool ours = items == 1 && *reinterpret_cast<unsigned long*>(value) == unsigned(pid);
        XFree(value);
        if (ours && XGetWMProtocols(display_, children[i], &protocols, &protocolCount) != 0) {
            found = std::count(protocols, protocols + protocolCount, ping) > 0 ? children[i] : 0;
            XFree(protocols);
        }
    }
    XFree(children);
    return found;
}

bool LoopWatch::start(pid_t pid, std::chrono::milliseconds limit) {
    for (const auto end = Clock::now() + limit;
         display_ != nullptr && (window_ = findWindow(pid)) == 0 && Clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (window_ == 0) {
        error_ += error_.empty() ? "no window of the program answers _NET_WM_PING" : "";
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
    thread_.joinable() ? thread_.join() : void();
    return std::chrono::milliseconds(longestMs_.load());
}

void LoopWatch::run() {
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const auto ping = static_cast<long>(XInternAtom(display_, "_NET_WM_PING", False));
    for (long serial = 1; !stopping_; ++serial) {
        // The program may have raised a window or taken the focus meanwhile.
        XRaiseWindow(display_, cover_);
        XSetInputFocus(display_, cover_, RevertToPointerRoot, CurrentTime);
        XEvent event{};
        event.xclient = {ClientMessage, 0, False, display_, window_, protocols, 32, {}};
        event.xclient.data.l[0] = ping;
        event.xclient.data.l[1] = serial;
        event.xclient.data.l[2] = static_cast<long>(window_);
        XSendEvent(display_, window_, False, NoEventMask, &event);
        XFlush(display_);
        const auto sent = Clock::now();
        for (bool answer = false; !answer && !stopping_;) {
            while (!answer && XPending(display_) > 0) {
                XNextEvent(display_, &event);
                answer = event.type == ClientMessage && event.xclient.data.l[0] == ping &&
                         event.xclient.data.l[1] == serial;
            }
            if (pollfd fd{ConnectionNumber(display_), POLLIN, 0}; !answer) {
                ::poll(&fd, 1, 50);
            }
            const auto waited =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
            longestMs_ = std::max(longestMs_.load(), std::int64_t(waited.count()));
            answered_ += answer ? 1 : 0;
        }
        std::this_thread::sleep_until(sent + std::chrono::milliseconds(250));
    }
}

std::string LoopWatch::held() const {
    std::string out;
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (int code = 0; code < 256; ++code) {
        out += (keys[code / 8] & (1 << (code % 8))) != 0 ? ", key " + std::to_string(code) : "";
    }
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &x, &y, &mask);
    for (int button = 1; button <= 5; ++button) {
        out +=
            (mask & (Button1Mask << (button - 1))) != 0 ? ", button " + std::to_string(button) : "";
    }
    return out.empty() ? out : out.substr(2);
}

}  // namespace zintor::test

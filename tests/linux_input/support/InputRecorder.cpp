#include "InputRecorder.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <xkbcommon/xkbcommon.h>

#include <poll.h>

#include <utility>

namespace zintor::testing {

InputRecorder::InputRecorder(const std::string& display) {
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) {
        return;
    }
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success) {
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease}) {
        XISetMask(bits, type);
    }
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
    // Once the server has the selection, everything injected afterwards is seen.
    XSync(display_, False);
}

InputRecorder::~InputRecorder() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

void InputRecorder::readEvents() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        } else if (event.type == GenericEvent && event.xcookie.extension == xiOpcode_ &&
                   XGetEventData(display_, &event.xcookie)) {
            const int type = event.xcookie.evtype;
            const auto detail = static_cast<const XIRawEvent*>(event.xcookie.data)->detail;
            const bool button = type == XI_RawButtonPress || type == XI_RawButtonRelease;
            // Named by libxkbcommon: X leaks the names it makes up for Unicode symbols.
            std::string name = "button" + std::to_string(detail);
            std::string typed[2];
            for (int level = 0; level < 2 && !button; ++level) {
                const auto keysym = static_cast<xkb_keysym_t>(
                    XkbKeycodeToKeysym(display_, static_cast<KeyCode>(detail), 0, level));
                char text[64] = "";
                xkb_keysym_to_utf8(keysym, text, sizeof text);
                typed[level] = text;
                if (level == 0) {
                    xkb_keysym_get_name(keysym, text, sizeof text);
                    name = keysym != NoSymbol ? text : "keycode" + std::to_string(detail);
                }
            }
            events_.push_back({type == XI_RawKeyPress || type == XI_RawButtonPress,
                               static_cast<unsigned>(detail),
                               name,
                               {typed[0], typed[1]}});
            XFreeEventData(display_, &event.xcookie);
        }
    }
}

std::vector<RecordedInput> InputRecorder::take(std::size_t count, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (readEvents(); events_.size() < count && std::chrono::steady_clock::now() < deadline;
         readEvents()) {
        pollfd entry{ConnectionNumber(display_), POLLIN, 0};
        poll(&entry, 1, 10);
    }
    return std::exchange(events_, {});
}

std::vector<std::string> InputRecorder::takeTexts(std::size_t count) {
    std::vector<std::string> texts;
    for (const RecordedInput& input : take(count)) {
        texts.push_back(input.text());
    }
    return texts;
}

std::string InputRecorder::takeTyped(std::size_t count) {
    std::string text;
    bool shift = false;
    for (const RecordedInput& input : take(count)) {
        if (input.name.starts_with("Shift")) {
            shift = input.down;
        } else if (input.down) {
            text += input.typed[shift ? 1 : 0];
        }
    }
    return text;
}

unsigned InputRecorder::keyCode(const std::string& keysymName) {
    XSync(display_, False);  // a mapping changed before this call has been told
    readEvents();
    return XKeysymToKeycode(display_, XStringToKeysym(keysymName.c_str()));
}

}  // namespace zintor::testing

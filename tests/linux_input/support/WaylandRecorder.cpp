#include "WaylandRecorder.h"

#include <cstdio>
#include <thread>

#include <unistd.h>

namespace zintor::testing {

WaylandRecorder::WaylandRecorder(const std::string& display)
    : log_("/tmp/zintor-wev-" + std::to_string(getpid()) + "-" +
           std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".log") {
    // Line-buffered: each event is in the file when it has happened.
    wev_.start({"stdbuf", "-oL", "wev"}, {{"WAYLAND_DISPLAY", display}}, log_);
}

WaylandRecorder::~WaylandRecorder() {
    wev_.stop();
    std::remove(log_.c_str());
}

std::size_t WaylandRecorder::read() {
    const std::string text = output();
    for (auto end = text.find('\n', done_); end != std::string::npos;
         done_ = end + 1, end = text.find('\n', done_)) {
        const std::string line = text.substr(done_, end - done_);
        const auto has = [&line](const char* what) { return line.find(what) != std::string::npos; };
        char sym[64] = "";
        double x = 0, y = 0;
        unsigned button = 0, state = 0;
        unsigned serial = 0;
        if (has("wl_keyboard] key:") &&
            std::sscanf(line.substr(line.find("serial: ")).c_str(), "serial: %u", &serial) == 1) {
            // wev may hold two keyboards of the seat: each event comes once per keyboard.
            pendingKey_ = serial == lastKeySerial_ ? "" : has("(pressed)") ? "+" : "-";
            lastKeySerial_ = serial;
        } else if (!pendingKey_.empty() && std::sscanf(line.c_str(), " sym: %63s", sym) == 1) {
            events_.push_back(pendingKey_ + sym);
            pendingKey_.clear();
        } else if ((has("wl_pointer] enter") || has("wl_pointer] motion")) &&
                   std::sscanf(line.substr(line.find("x, y:")).c_str(), "x, y: %lf, %lf", &x, &y) ==
                       2) {
            events_.push_back("at " + std::to_string(int(x)) + "," + std::to_string(int(y)));
        } else if (has("wl_pointer] button") &&
                   std::sscanf(line.substr(line.rfind("button: ")).c_str(), "button: %u",
                               &button) == 1 &&
                   std::sscanf(line.substr(line.find("state: ")).c_str(), "state: %u", &state) ==
                       1) {
            events_.push_back((state == 1 ? "+button" : "-button") +
                              std::string(button == 0x110   ? "1"
                                          : button == 0x111 ? "3"
                                                            : "?"));
        }
    }
    return events_.size();
}

bool WaylandRecorder::waitFor(const std::string& text) {
    for (int i = 0; i < 500 && wev_.running(); ++i) {
        if (output().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::vector<std::string> WaylandRecorder::takeTexts(std::size_t count,
                                                    std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (read() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<std::string> out;
    out.swap(events_);
    return out;
}

}  // namespace zintor::testing

#include "WaylandRecorder.h"

#include <cstdio>
#include <regex>
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
    static const std::regex key(R"(wl_keyboard\] key:.*serial: (\d+))"), sym(R"(^\s*sym: (\S+))"),
        at(R"(wl_pointer\] (enter|motion).*x, y: (-?[\d.]+), (-?[\d.]+))"),
        button(R"(wl_pointer\] button.*button: (\d+).*state: (\d+))");
    const std::string text = output();
    std::smatch m;
    for (auto end = text.find('\n', done_); end != std::string::npos;
         done_ = end + 1, end = text.find('\n', done_)) {
        const std::string line = text.substr(done_, end - done_);
        if (std::regex_search(line, m, key)) {
            // wev may hold two keyboards of the seat: each event comes once per keyboard.
            const unsigned serial = std::stoul(m[1]);
            pendingKey_ = serial == lastKeySerial_                      ? ""
                          : line.find("(pressed)") != std::string::npos ? "+"
                                                                        : "-";
            lastKeySerial_ = serial;
        } else if (!pendingKey_.empty() && std::regex_search(line, m, sym)) {
            events_.push_back(pendingKey_ + m[1].str());
            pendingKey_.clear();
        } else if (std::regex_search(line, m, at)) {
            events_.push_back("at " + std::to_string(int(std::stod(m[2]))) + "," +
                              std::to_string(int(std::stod(m[3]))));
        } else if (std::regex_search(line, m, button)) {
            const char* name = m[1] == "272" ? "1" : m[1] == "273" ? "3" : "?";
            events_.push_back((m[2] == "1" ? "+button" : "-button") + std::string(name));
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

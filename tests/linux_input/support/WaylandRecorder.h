#pragma once

#include <QTemporaryDir>

#include <chrono>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"

namespace zintor::testing {

// A Wayland client that records what the compositor delivers to it: wev (the Wayland event
// viewer) in a full-screen window, its output read back as "+a" / "-a" for keys (the key symbol
// under the client's keyboard state, so Shift gives "+A"), "+button1" / "-button1" (left),
// "+button3" / "-button3" (right), "at 12,34" for every pointer position (enter and motion) and
// "wheel 0 -2" for a wheel's notches (axis 0 vertical, 1 horizontal).
class WaylandRecorder {
  public:
    explicit WaylandRecorder(const std::string& display) {
        // Line-buffered: each event is in the file when it has happened.
        wev_.start({"stdbuf", "-oL", "wev"}, {{"WAYLAND_DISPLAY", display}}, log());
    }

    bool waitUntilShown() { return waitFor("xdg_surface] configure"); }
    // The seat has a keyboard only while some keyboard (a virtual one) exists.
    bool waitUntilFocused() { return waitFor("wl_keyboard] enter"); }
    // Waits for `count` events in all (or `limit`); all of them, taken.
    std::vector<std::string> takeTexts(std::size_t count,
                                       std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        ChildProcess::eventually([&] { return read() >= count; }, limit);
        return std::exchange(events_, {});
    }
    std::string output() const { return ChildProcess::readFile(log()); }

  private:
    std::string log() const { return folder_.path().toStdString() + "/wev.log"; }
    bool waitFor(const std::string& text) {
        return ChildProcess::eventually([&] { return output().find(text) != std::string::npos; });
    }
    // Parses what wev wrote since; the number of events waiting.
    std::size_t read() {
        static const std::regex key(R"(wl_keyboard\] key:.*serial: (\d+))"),
            sym(R"(^\s*sym: (\S+))"),
            at(R"(wl_pointer\] (enter|motion).*x, y: (-?[\d.]+), (-?[\d.]+))"),
            button(R"(wl_pointer\] button.*button: (\d+).*state: (\d+))"),
            // (wev names axis_discrete "axis_stop")
            wheel(R"(wl_pointer\] axis_\w+: axis: (\d+).*discrete: (-?\d+))");
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
                const std::string side = m[1] == "272" ? "1" : m[1] == "273" ? "3" : "?";
                events_.push_back((m[2] == "1" ? "+button" : "-button") + side);
            } else if (std::regex_search(line, m, wheel)) {
                events_.push_back("wheel " + m[1].str() + " " + m[2].str());
            }
        }
        return events_.size();
    }

    QTemporaryDir folder_{"/tmp/zintor-wev-XXXXXX"};
    ChildProcess wev_;      // ended before its folder goes
    std::size_t done_ = 0;  // bytes of the output parsed
    std::string pendingKey_;
    unsigned lastKeySerial_ = 0;
    std::vector<std::string> events_;
};

}  // namespace zintor::testing

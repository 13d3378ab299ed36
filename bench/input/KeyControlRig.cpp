#include "KeyControlRig.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace zintor::bench {

using namespace std::chrono_literals;

namespace {

constexpr int kPort = 5;
constexpr const char* kKeysOn = "AT+CMER=3,2,0,0,0";
constexpr const char* kMainMenu = "AT*EASM=\"Zintor\",1,1,";

}  // namespace

KeyControlRig::~KeyControlRig() {
    // The normal shutdown, so that a run leaves nothing behind; killed when it does not end.
    zintor_.signal(SIGTERM);
    zintor_.waitForExit(10s);
}

bool KeyControlRig::fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    const std::string output = zintor_.errorOutput();
    if (!output.empty()) {
        std::fprintf(stderr, "zintor wrote:\n%s", output.c_str());
    }
    return false;
}

bool KeyControlRig::start(const std::string& keyMap, const std::string& settings) {
    if (!server_.start()) {
        return fail("no X server: Xvfb cannot be started and DISPLAY is not usable");
    }
    recorder_ = std::make_unique<testing::InputRecorder>(server_.display());
    if (!recorder_->ok()) {
        return fail("the X server has no XInput 2.2");
    }
    if (!phone_.ok()) {
        return fail("no pseudo-terminal: " + phone_.error());
    }
    // The program inherits the environment: its input goes to this X server, nowhere else.
    setenv("DISPLAY", server_.display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    return startProgram(keyMap, settings);
}

bool KeyControlRig::startOnWayland(const std::string& keyMap, const std::string& settings) {
    if (!sway_.start()) {
        return fail("sway cannot be started:\n" + sway_.log());
    }
    waylandRecorder_ = std::make_unique<testing::WaylandRecorder>(sway_.display());
    if (!waylandRecorder_->waitUntilShown() || !phone_.ok()) {
        return fail("no recording window on sway, or no pseudo-terminal");
    }
    setenv("WAYLAND_DISPLAY", sway_.display().c_str(), 1);
    unsetenv("DISPLAY");
    if (!startProgram(keyMap, settings)) {
        return false;
    }
    // The seat has a keyboard, and the window the focus, once zintor's virtual keyboard exists.
    if (!waylandRecorder_->waitUntilFocused()) {
        return fail("the recording window did not get the keyboard focus");
    }
    waylandRecorder_->take(1000, 100ms);
    return true;
}

bool KeyControlRig::startProgram(const std::string& keyMap, const std::string& settings) {
    std::ofstream(zintor_.configFolder() + "/KeyMap.xml") << keyMap;
    zintor_.pin(1, "/dev/null");  // keep the program off this machine's own UART
    zintor_.pin(kPort, phone_.slavePath());
    zintor_.writeSettings("Com=" + std::to_string(kPort) + "\n" + settings);
    started_ = std::chrono::steady_clock::now();
    if (!zintor_.start()) {
        return fail(std::string("cannot start ") + ZINTOR_BINARY);
    }
    const bool menu = phone_.waitUntil(
        [](const std::vector<phone::PtyPhone::Line>& lines) {
            return std::any_of(lines.begin(), lines.end(), [](const phone::PtyPhone::Line& l) {
                return l.text.rfind(kMainMenu, 0) == 0;
            });
        },
        30s);
    if (!menu) {
        return fail("zintor did not connect and show its main menu");
    }
    const std::size_t before = phone_.lines().size();
    phone_.send("*EAMI: 1\r\n");  // "Move Mouse"
    if (phone_.waitForLine(kKeysOn, before, 10s) < 0) {
        return fail("\"Move Mouse\" did not switch keypad reporting on (no key map loaded?)");
    }
    // Let the key map's name on the phone and the rest of the menu traffic settle.
    std::this_thread::sleep_for(300ms);
    return true;
}

void KeyControlRig::waitOutStartUp() const {
    std::this_thread::sleep_until(started_ + 6500ms);
}

std::string KeyControlRig::keyLine(const std::string& code, bool pressed) {
    return "+CKEV: " + code + (pressed ? ",1" : ",0") + "\r\n";
}

double KeyControlRig::cpuMs() const {
    // Each thread's time on a CPU in nanoseconds (the first figure of its schedstat): finer than
    // the 10 ms ticks of utime and stime, which a few seconds of a light hold would round away.
    const std::filesystem::path tasks = "/proc/" + std::to_string(zintor_.pid()) + "/task";
    std::error_code error;
    double ns = 0;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long onCpu = 0;
        if (in >> onCpu) {
            ns += static_cast<double>(onCpu);
        }
    }
    return error ? -1 : ns / 1e6;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

}  // namespace zintor::bench

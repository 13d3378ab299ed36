// CPU time of the real program while a phone direction key is held: "<" pressed in "Move Mouse"
// mode with the mouse speed 5 (a pause of 5 ms after each cursor step) moves the cursor of a
// private Xvfb left until the release comes.
//
//   zintor_hold_cpu_bench [--wayland] [seconds]      (default 10)
//
// With --wayland the program runs on a private headless sway (no X server): Wayland does not let
// a client place the cursor, so the key held changes every second, ">" then "<", to keep the
// cursor off the edges; the moves are counted by the recording window.
//
// The press comes once the program's start-up is over (its window, for want of a tray, shown).
// CPU time is the time on a CPU of all the zintor process's threads, taken just before the press
// and just before the release. As a check that the loop really ran, this process samples the cursor
// every millisecond and counts its moves; when the cursor nears the left edge it is put back at the
// right, so that the steps never stop at the edge.
//
// Afterwards it measures the floor under that figure, on the same machine at the same time: a
// plain 5 ms sleep with nothing else; then this process makes the same cursor steps through the
// same input adapter, first with only a 5 ms sleep in between, then from the ticks of a 5 ms timer
// on Qt's event loop, as the program steps (no program around either), and last on the event loop
// of a Qt GUI application on the same display, as the program is one (on Wayland, Qt's client has
// work of its own at each turn of the loop). On a virtual machine the sleep, the wake-up and the
// message to the display server alone cost tens of microseconds. The target holds the program
// against the last floor.
#include <time.h>
#include <QCoreApplication>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "KeyControlRig.h"
#include "platform/linux/WaylandKeyboardMouse.h"
#include "platform/linux/XTestKeyboardMouse.h"
#include "platform/qt/QtEventLoop.h"

// Last: Xlib's macros clash with Qt's headers.
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The direction keys cannot be bound; one key map with nothing in it is enough for the mode.
constexpr const char* kKeyMap = R"(<Zintor_KeyMap>
  <KEYMAP>
    <KEYMAP_NAME>Hold</KEYMAP_NAME>
  </KEYMAP>
</Zintor_KeyMap>
)";

constexpr int kRestartX = zintor::testing::PrivateXServer::kWidth - 24;
constexpr int kNearEdgeX = 64;
constexpr int kRow = zintor::testing::PrivateXServer::kHeight / 2;

struct Pointer {
    explicit Pointer(Display* display) : display_(display) {}

    int x() {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
        unsigned mask = 0;
        XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY,
                      &windowX, &windowY, &mask);
        return rootX;
    }
    void put(int x) {
        XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, kRow);
        XSync(display_, False);
    }

    Display* display_;
};

struct Figures {
    double cpuMs = 0;
    double heldSeconds = 0;
    long moves = 0;
    int lastStep = 0;
    bool stands = false;
};

Figures holdOnWayland(zintor::bench::KeyControlRig& rig, int seconds) {
    using zintor::bench::KeyControlRig;
    auto& recorder = rig.waylandRecorder();
    Figures f;
    const auto countMoves = [&](std::chrono::milliseconds wait) {
        const auto events = recorder.takeTexts(1000000, wait);
        long moves = 0;
        for (const std::string& text : events) {
            moves += text.rfind("at ", 0) == 0 ? 1 : 0;
        }
        return moves;
    };
    recorder.take(1000000, 0ms);
    const double cpuBefore = rig.cpuMs();
    const auto start = Clock::now();
    // Right first: the pointer starts near the left edge, and a step that meets the edge moves
    // nothing, so the window would not see it and the CPU a step would be counted too high. A
    // second's hold goes about 440 px either way, within the output's 1280.
    for (int second = 0; second < seconds; ++second) {
        const std::string key = second % 2 == 0 ? ">" : "<";
        rig.phone().send(KeyControlRig::keyLine(key, true));
        std::this_thread::sleep_until(start + std::chrono::seconds(second + 1));
        rig.phone().send(KeyControlRig::keyLine(key, false));
        f.moves += countMoves(0ms);
    }
    f.cpuMs = rig.cpuMs() - cpuBefore;
    f.heldSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::this_thread::sleep_for(100ms);
    f.moves += countMoves(0ms);
    f.stands = countMoves(300ms) == 0;
    return f;
}

double threadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// CPU microseconds of this thread a step of the floor described at the top, over `seconds`:
// with a plain sleep between the steps, or stepped as the program steps a hold, from the tick of a
// 5 ms timer of the program's event loop started again after each step.
template <typename Input>
double floorUsPerStep(const std::string& display, int seconds, zintor::QtEventLoop* loop) {
    Input input({}, display);
    input.moveCursorBy(1, 0);  // connects
    long steps = 0;
    const auto step = [&] { input.moveCursorBy(steps++ / 100 % 2 == 0 ? -5 : 5, 0); };
    const double before = threadCpuUs();
    if (loop == nullptr) {
        for (const auto end = Clock::now() + std::chrono::seconds(seconds); Clock::now() < end;) {
            step();
            std::this_thread::sleep_for(5ms);
        }
    } else {
        zintor::EventLoop::TimerId timer = 0;
        std::function<void()> tick = [&] {
            loop->stopTimer(timer);
            step();
            timer = loop->startTimer(5, tick);
        };
        timer = loop->startTimer(5, tick);
        loop->waitUntil(loop->now() + seconds * 1000);
        loop->stopTimer(timer);
    }
    return (threadCpuUs() - before) / static_cast<double>(steps);
}

// CPU microseconds of this thread a plain 5 ms sleep costs, with nothing else: what waking up
// at the program's step rate costs this machine at all.
double wakeUpUs(int seconds) {
    long wakes = 0;
    const double before = threadCpuUs();
    for (const auto end = Clock::now() + std::chrono::seconds(seconds); Clock::now() < end;
         ++wakes) {
        std::this_thread::sleep_for(5ms);
    }
    return (threadCpuUs() - before) / static_cast<double>(wakes);
}

// Prints the floors and returns the last, the one the program's figure is held against.
template <typename Input>
double printFloors(const std::string& display, int seconds, double stepsPerSecond,
                   double programUsPerStep) {
    const auto print = [&](const char* what, double us) {
        std::printf("  %s: %.0f us of cpu a step (%.2f%% at %.0f steps/s)\n", what, us,
                    us * stepsPerSecond / 1e4, stepsPerSecond);
    };
    print("floor, a plain sleep alone", wakeUpUs(seconds));
    print("floor, the steps and a plain sleep", floorUsPerStep<Input>(display, seconds, nullptr));
    int argc = 1;
    char name[] = "zintor_hold_cpu_bench";
    char* argv[] = {name, nullptr};
    double loopFloor = 0;
    {
        QCoreApplication application(argc, argv);
        zintor::QtEventLoop loop;
        loopFloor = floorUsPerStep<Input>(display, seconds, &loop);
        print("floor, the steps and the event loop", loopFloor);
    }
    QGuiApplication application(argc, argv);
    zintor::QtEventLoop loop;
    const double guiFloor = floorUsPerStep<Input>(display, seconds, &loop);
    print("floor, the steps and a GUI application's event loop", guiFloor);
    std::printf("  the program's step: %.2f times the plain event-loop floor\n",
                loopFloor > 0 ? programUsPerStep / loopFloor : 0);
    return guiFloor;
}

// The program's CPU a step against the GUI event-loop floor (target: at most 1.3 times it).
bool withinFloor(double programUsPerStep, double floorUs) {
    const double ratio = floorUs > 0 ? programUsPerStep / floorUs : 0;
    std::printf("  the program's step: %.2f times the GUI event-loop floor   (target <= 1.3)\n",
                ratio);
    return ratio > 0 && ratio <= 1.3;
}

}  // namespace

int main(int argc, char** argv) {
    const bool wayland = argc > 1 && std::string(argv[1]) == "--wayland";
    if (wayland) {
        --argc;
        ++argv;
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    zintor::bench::KeyControlRig rig;
    if (!(wayland ? rig.startOnWayland(kKeyMap, "Speed=5\n") : rig.start(kKeyMap, "Speed=5\n"))) {
        return 1;
    }
    rig.waitOutStartUp();
    if (wayland) {
        const Figures f = holdOnWayland(rig, seconds);
        const double percent = f.cpuMs / (f.heldSeconds * 10.0);
        std::printf(
            "\"<\" and \">\" held %.2f s on a private headless sway with mouse speed 5 "
            "(load average %s)\n",
            f.heldSeconds, zintor::bench::loadAverage().c_str());
        std::printf("  zintor cpu %.0f ms = %.2f%% of one core   (1%% where the floor allows)\n",
                    f.cpuMs, percent);
        std::printf("  cursor moves seen %ld (%.0f/s, %.0f us of cpu each); %s after the release\n",
                    f.moves, static_cast<double>(f.moves) / f.heldSeconds,
                    f.moves > 0 ? f.cpuMs * 1000.0 / static_cast<double>(f.moves) : 0.0,
                    f.stands ? "stands still" : "STILL MOVING");
        const double perStep = f.moves > 0 ? f.cpuMs * 1000.0 / static_cast<double>(f.moves) : 0;
        const double floor = printFloors<zintor::WaylandKeyboardMouse>(
            rig.sway().display(), seconds, static_cast<double>(f.moves) / f.heldSeconds, perStep);
        return (withinFloor(perStep, floor) && f.stands && f.moves > 0) ? 0 : 2;
    }
    Pointer cursor(rig.recorder().display());
    cursor.put(kRestartX);

    long moves = 0;
    int lastStep = 0;
    int x = cursor.x();
    const double cpuBefore = rig.cpuMs();
    const auto start = Clock::now();
    rig.phone().send(zintor::bench::KeyControlRig::keyLine("<", true));
    const auto end = start + std::chrono::seconds(seconds);
    for (auto sample = start; Clock::now() < end;) {
        sample += 1ms;
        std::this_thread::sleep_until(sample);
        const int now = cursor.x();
        if (now < x) {  // a step of the program (the warps below go right)
            ++moves;
            lastStep = x - now;
        }
        x = now;
        if (x < kNearEdgeX) {
            cursor.put(kRestartX);
            x = cursor.x();
        }
    }
    const double cpuAfter = rig.cpuMs();
    const double heldSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    rig.phone().send(zintor::bench::KeyControlRig::keyLine("<", false));

    // After the release the cursor must stand still.
    std::this_thread::sleep_for(100ms);
    const int stopped = cursor.x();
    std::this_thread::sleep_for(300ms);
    const bool stands = cursor.x() == stopped;

    const double cpuMs = cpuAfter - cpuBefore;
    const double percent = cpuMs / (heldSeconds * 10.0);
    std::printf("\"<\" held %.2f s on %s with mouse speed 5 (load average %s)\n", heldSeconds,
                rig.server().shared() ? "the session's X server" : "a private Xvfb",
                zintor::bench::loadAverage().c_str());
    std::printf("  zintor cpu %.0f ms = %.2f%% of one core   (1%% where the floor allows)\n", cpuMs,
                percent);
    std::printf(
        "  cursor moves seen %ld (%.0f/s, %.0f us of cpu each), last step %d px; %s after "
        "the release\n",
        moves, static_cast<double>(moves) / heldSeconds,
        moves > 0 ? cpuMs * 1000.0 / static_cast<double>(moves) : 0.0, lastStep,
        stands ? "stands still" : "STILL MOVING");
    const double perStep = moves > 0 ? cpuMs * 1000.0 / static_cast<double>(moves) : 0;
    const double floor = printFloors<zintor::XTestKeyboardMouse>(
        rig.server().display(), seconds, static_cast<double>(moves) / heldSeconds, perStep);
    return (withinFloor(perStep, floor) && stands && moves > 0) ? 0 : 2;
}

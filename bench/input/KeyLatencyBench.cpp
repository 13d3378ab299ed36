// Latency from a phone key press to the key at the X server, through the whole real program: the
// phone writes "+CKEV: 5,1" on the pseudo-terminal, zintor gathers the receive burst (10 ms),
// routes the line in "Move Mouse" mode and runs key 5's KEY command, which types "x" through
// XTest into a private Xvfb; a recording client in this process notes when the key arrives.
//
//   zintor_key_latency_bench [--wayland] [presses] [period-ms]   (default 300 presses, 40 ms apart)
//
// With --wayland the program runs on a private headless sway instead (no X server at all), typing
// through its virtual keyboard into a recording Wayland window.
//
// Each press is released as soon as its key has arrived; the next press follows one period
// after the previous one. Times are this process's monotonic clock: the pty write just before
// the press line goes out, and the arrival of the key press at the recording client.
//
// The machine's load average is printed with the figures: on a busy machine the slow presses are
// the ones where zintor, Xvfb or the kernel's pty worker waited for a CPU held by another process
// (`perf sched record` / `perf sched timehist` show the scheduling delay).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "KeyControlRig.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One key map whose key 5 types a single letter.
constexpr const char* kKeyMap = R"(<Zintor_KeyMap>
  <KEYMAP>
    <KEYMAP_NAME>Latency</KEYMAP_NAME>
    <KEY_5>
      <HELP>x</HELP>
      <COMMAND_ID>1</COMMAND_ID>
        <COMMAND_TYPE>KEY</COMMAND_TYPE>
        <COMMAND>x</COMMAND>
    </KEY_5>
  </KEYMAP>
</Zintor_KeyMap>
)";

constexpr std::size_t kWarmUp = 10;
constexpr double kGatherMs = 10.0;  // the receive burst gathering the program always waits

}  // namespace

int main(int argc, char** argv) {
    const bool wayland = argc > 1 && std::string(argv[1]) == "--wayland";
    if (wayland) {
        --argc;
        ++argv;
    }
    const std::size_t presses = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 300;
    const int periodMs = argc > 2 ? std::atoi(argv[2]) : 40;

    zintor::bench::KeyControlRig rig;
    if (!(wayland ? rig.startOnWayland(kKeyMap, "Speed=5\n") : rig.start(kKeyMap, "Speed=5\n"))) {
        return 1;
    }
    auto& phone = rig.phone();
    // The texts of the key events that arrived, waiting up to `limit` for `count` of them.
    const auto take = [&rig](std::size_t count, std::chrono::milliseconds limit) {
        std::vector<std::string> texts;
        if (rig.onWayland()) {
            texts = rig.waylandRecorder().takeTexts(count, limit);
        } else {
            for (const auto& event : rig.recorder().take(count, limit)) {
                texts.push_back(event.text());
            }
        }
        return texts;
    };
    take(std::numeric_limits<std::size_t>::max(), 0ms);  // anything from start-up

    std::vector<double> latencies;
    std::size_t lost = 0;
    auto next = Clock::now();
    for (std::size_t i = 0; i < kWarmUp + presses; ++i) {
        std::this_thread::sleep_until(next);
        next += std::chrono::milliseconds(periodMs);
        const auto sent = Clock::now();
        phone.send(zintor::bench::KeyControlRig::keyLine("5", true));
        const auto first = take(1, 1s);
        const auto arrived = Clock::now();
        phone.send(zintor::bench::KeyControlRig::keyLine("5", false));
        if (first.empty() || first.front() != "+x") {
            ++lost;
            std::fprintf(stderr, "press %zu: %s\n", i + 1,
                         first.empty() ? "no key arrived within 1 s"
                                       : ("unexpected " + first.front()).c_str());
            next = Clock::now() + 1s;  // let the program calm down before going on
            continue;
        }
        if (i >= kWarmUp) {
            latencies.push_back(std::chrono::duration<double, std::milli>(arrived - sent).count());
        }
        // The key's release comes in the same write as its press; collect it before the next.
        if (first.size() < 2) {
            take(1, 1s);
        }
    }
    std::this_thread::sleep_for(100ms);
    take(std::numeric_limits<std::size_t>::max(), 0ms);

    if (latencies.empty()) {
        std::fprintf(stderr, "no key press arrived\n");
        return 1;
    }
    using zintor::bench::percentile;
    const double p50 = percentile(latencies, 0.50);
    const double p99 = percentile(latencies, 0.99);
    std::printf("phone key press -> key at the client (%s), %zu presses %d ms apart, %zu lost\n",
                rig.onWayland()         ? "a private headless sway"
                : rig.server().shared() ? "the session's X server"
                                        : "a private Xvfb",
                latencies.size(), periodMs, lost);
    std::printf(
        "  min %6.2f ms\n  p50 %6.2f ms   (target <= 11)\n  p95 %6.2f ms\n"
        "  p99 %6.2f ms   (target <= 13)\n  max %6.2f ms\n",
        percentile(latencies, 0.0), p50, percentile(latencies, 0.95), p99,
        percentile(latencies, 1.0));
    std::printf("  beyond the %.0f ms gathering wait: p50 %.2f ms, p99 %.2f ms\n", kGatherMs,
                p50 - kGatherMs, p99 - kGatherMs);
    const auto slow = std::count_if(latencies.begin(), latencies.end(),
                                    [p50](double ms) { return ms > p50 + 1.0; });
    std::printf("  presses more than 1 ms above p50: %ld; load average %s\n",
                static_cast<long>(slow), zintor::bench::loadAverage().c_str());
    return (lost == 0 && p50 <= 11.0 && p99 <= 13.0) ? 0 : 2;
}

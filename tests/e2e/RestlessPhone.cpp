// The restless phone (README.md, "Fault simulation", tells what it does and checks). Usage:
//   zintor_restless_phone [--seed S] [--seeds N]    the seeds S to S+N-1 (by default seed 1)
// Exit status 77 (skipped) without Xvfb unless ZINTOR_REQUIRE_ALL.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "LoopWatch.h"
#include "PrivateXServer.h"
#include "PtyPhone.h"
#include "ZintorProcess.h"

namespace zintor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using phone::PtyPhone;

constexpr int kLongestSilenceMs = 12000;
// After a silence the phone answers at least this long: the program has time to reconnect, so a
// program that works never gives up on it (it does after about 25 s without answers).
constexpr int kTalkAfterSilenceMs = 6000;
constexpr const char* kMainMenu = "AT*EASM=\"Zintor\",1,";

// Printable ASCII, tabs and line feeds as they are, other bytes as \xNN.
std::string escaped(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7f) ? std::string(1, char(c)) : hex;
    }
    return out;
}

// The last `lines` lines of `text`, without carriage returns.
std::string tail(const std::string& text, int lines) {
    std::size_t at = text.size();
    for (int i = 0; i <= lines && at != std::string::npos && at > 0; ++i) {
        at = text.rfind('\n', at - 1);
    }
    std::string last = text.substr(at == std::string::npos ? 0 : at + 1);
    std::erase(last, '\r');
    return escaped(last);
}

// One thing the phone does, `atMs` after the storm began.
struct Step {
    enum class Kind { kSend, kEcho, kSilence } kind = Kind::kSend;
    std::int64_t atMs = 0;
    std::string bytes;  // Send
    bool on = false;    // Echo
    int ms = 0;         // Silence: how long the phone answers nothing
};

class Storm {
  public:
    Storm(std::uint32_t seed, int seconds) : random_(seed) {
        bool echo = false;
        std::int64_t silenceAllowedAt = 0;
        for (std::int64_t at = gap(); at < seconds * 1000; at += gap()) {
            const int roll = below(100);
            Step step{Step::Kind::kSend, at, "", false, 0};
            if (roll < 30) {
                step.bytes = menuLine() + "\r\n";
            } else if (roll < 60) {
                step.bytes = keyLine() + "\r\n";
            } else if (roll < 68) {
                step.bytes = answerLine() + "\r\n";
            } else if (roll < 76) {
                step.bytes = garbage();
            } else if (roll < 88) {
                step.bytes = burst();
            } else if (roll < 94) {
                step = {Step::Kind::kEcho, at, "", echo = !echo};
            } else if (at >= silenceAllowedAt) {
                step = {Step::Kind::kSilence, at, "", false, 1000 + below(kLongestSilenceMs - 999)};
                silenceAllowedAt = at + step.ms + kTalkAfterSilenceMs;
                at += below(2) == 0 ? step.ms : 0;  // half of them: the phone says nothing at all
            } else {
                continue;
            }
            steps.push_back(step);
        }
    }

    std::vector<Step> steps;
    std::set<std::string> pressed;  // keys pressed last and not released

  private:
    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    // Mostly short pauses, now and then up to 2.5 s.
    std::int64_t gap() { return below(10) == 0 ? below(2500) : below(400); }

    // Menu choices most, as a user who goes into menus; a few numbers beyond the items.
    std::string menuLine() {
        static const std::string kTexts[] = {"hello", "Caf\xe9",     "say \"hi\"",
                                             "",      "ATD5551234;", std::string(150, 'w')};
        static const char* const kLines[] = {"*EAMI", "*EAAI",       "*EAII: 0", "*EAII: 1,1",
                                             nullptr, "*EAII: 14,1", "*EAII"};
        const int kind = below(12);
        return kind == 4  ? "*EAII: 11,\"" + kTexts[below(6)] + "\""
               : kind < 7 ? kLines[kind]
                          : "*EAMI: " + std::to_string(1 + below(4));
    }
    std::string keyLine() {
        const auto& codes = web::PhoneModel::keyCodes();
        const std::string code = codes[below(static_cast<int>(codes.size()))];
        const bool press = below(2) == 0;
        press ? void(pressed.insert(code)) : void(pressed.erase(code));
        return "+CKEV: " + code + (press ? ",1" : ",0");
    }
    std::string answerLine() {
        const std::string kAnswers[] = {"OK", "ERROR", "+CME ERROR: 3", PtyPhone::kModel};
        return kAnswers[below(4)];
    }
    std::string garbage() {
        std::string bytes;
        for (int n = 1 + below(120); n > 0; --n) {
            const char c = static_cast<char>(below(256));
            bytes += c == '\r' || c == '\n' ? '~' : c;
        }
        return bytes;
    }
    std::string burst() {
        std::string bytes;
        for (int n = 2 + below(39); n > 0; --n) {
            const int kind = below(10);
            bytes += kind < 4   ? menuLine() + "\r\n"
                     : kind < 8 ? keyLine() + "\r\n"
                     : kind < 9 ? answerLine() + "\r\n"
                                : garbage();
        }
        return bytes;
    }

    std::mt19937 random_;
};

// Sends `line`; the program's first line after it that starts with `prefix`, or "" when none
// came before `deadline`.
std::string ask(PtyPhone& phone, const std::string& line, const std::string& prefix,
                Clock::time_point deadline) {
    const std::size_t from = phone.lines().size();
    phone.send(line + "\r\n");
    std::string found;
    phone.waitUntil(
        [&](const std::vector<PtyPhone::Line>& lines) {
            for (std::size_t i = from; i < lines.size() && found.empty(); ++i) {
                found = lines[i].text.starts_with(prefix) ? lines[i].text : "";
            }
            return !found.empty();
        },
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max(Clock::duration(0), deadline - Clock::now())));
    return found;
}

// The user opens the accessory entry, chooses About and closes its pop-up: "" when each step got
// its answer before `deadline`, otherwise which did not.
std::string serve(PtyPhone& phone, Clock::time_point deadline) {
    std::string menu;
    // Again every 2 s, as a user would: a line sent while the program reconnects is lost.
    while (menu.empty() && Clock::now() < deadline) {
        menu = ask(phone, "*EAAI", std::string(kMainMenu) + "1,",
                   std::min(deadline, Clock::now() + 2s));
    }
    const std::size_t at = menu.find("\"About\"");  // its number: the quoted texts before it
    const std::string about = std::to_string(std::ranges::count(menu.substr(0, at), '"') / 2);
    return menu.empty()              ? "*EAAI got no main menu"
           : at == std::string::npos ? "no About in the main menu " + menu
           : ask(phone, "*EAMI: " + about, "AT*EAID=1,2,\"Zintor ", deadline).empty()
               ? "*EAMI: " + about + " (About) got no pop-up"
           : ask(phone, "*EAII: 0", kMainMenu, deadline).empty()
               ? "closing About (*EAII: 0) got no main menu"
               : "";
}

// What the program wrote that is not a well-formed command line: each starts with AT or at, holds
// printable ISO 8859-1 only and balanced quotes, is one the phone model does not answer with
// ERROR, and ends in CR LF.
std::vector<std::string> malformedLines(const std::string& bytes) {
    std::vector<std::string> bad;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        const bool printable = std::ranges::all_of(
            line, [](unsigned char c) { return (c >= 0x20 && c < 0x7f) || c >= 0xa0; });
        if (!(line.starts_with("AT") || line.starts_with("at")) || !printable ||
            std::ranges::count(line, '"') % 2 != 0 ||
            web::PhoneModel().answer(line) == "\r\nERROR\r\n") {
            bad.push_back(escaped(line));
        }
    }
    start < bytes.size() ? bad.push_back(escaped(bytes.substr(start)) + " (no CR LF)") : void();
    return bad;
}

// The failures of one seed (none when it passes) and its figures.
std::vector<std::string> runSeed(std::uint32_t seed, std::string& figures) {
    constexpr int kStormSeconds = 40;
    std::vector<std::string> failures;
    const Storm storm(seed, kStormSeconds);
    testing::PrivateXServer x;
    PtyPhone phone;
    test::ZintorProcess zintor;
    if (!x.startPrivate(-1) || !phone.ok()) {
        return {"no private Xvfb or no pseudo-terminal: " + phone.error()};
    }
    zintor.pin(1, "/dev/null");  // COM1 may be this machine's console UART
    zintor.pin(5, phone.slavePath());
    // No program in the application slots and no media player: the storm starts no program. The
    // player and the volume talk to servers that are not there.
    zintor.writeSettings("Com=5\nLog=1\nAppPath9=\n");
    const bool started = zintor.start({{"DISPLAY", x.display()},
                                       {"WAYLAND_DISPLAY", ""},
                                       {"QT_QPA_PLATFORM", "xcb"},
                                       {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"},
                                       {"PULSE_SERVER", "unix:/nonexistent"}});
    test::LoopWatch watch(x.display());
    const auto connected = [](const std::vector<PtyPhone::Line>& lines) {
        return std::ranges::any_of(lines, [](auto& l) { return l.text.starts_with(kMainMenu); });
    };
    if (!started || !phone.waitUntil(connected, 30s)) {
        failures.push_back("the program did not connect to the phone within 30 s");
    } else if (!watch.start(zintor.pid(), 10s)) {
        failures.push_back(watch.error());
    } else {
        const auto stormStart = Clock::now();
        for (const Step& step : storm.steps) {
            std::this_thread::sleep_until(stormStart + std::chrono::milliseconds(step.atMs));
            step.kind == Step::Kind::kSend   ? phone.send(step.bytes)
            : step.kind == Step::Kind::kEcho ? phone.setEcho(step.on)
                                             : phone.silenceFor(std::chrono::milliseconds(step.ms));
        }
        std::this_thread::sleep_until(stormStart + std::chrono::seconds(kStormSeconds));

        phone.setEcho(false);
        phone.setSilent(false);
        const auto calm = Clock::now();
        const std::size_t calmFrom = phone.lines().size();
        for (const std::string& code : storm.pressed) {
            phone.send("+CKEV: " + code + ",0\r\n");
        }
        if (const std::string missing = serve(phone, calm + 10s); !missing.empty()) {
            failures.push_back(
                "not served within 10 s of the calm: " + missing +
                (phone.lines().size() == calmFrom ? " (nothing sent: link given up)" : ""));
        }
        const auto servedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - calm).count();
        const auto stall = watch.stop();
        if (stall > 3s) {
            failures.push_back("a ping waited " + std::to_string(stall.count()) + " ms");
        }
        for (const std::string& line : malformedLines(phone.received())) {
            failures.push_back("malformed line from the program: " + line);
        }
        phone.hangUp();
        if (!testing::ChildProcess::eventually([&] { return watch.held().empty(); }, 3s)) {
            failures.push_back("held on the X server after the link ended: " + watch.held());
        }
        figures = "served " + std::to_string(servedMs) + " ms after the calm, " +
                  std::to_string(watch.answered()) + " pings, longest wait " +
                  std::to_string(stall.count()) + " ms";
    }
    zintor.signal(SIGTERM);
    if (zintor.waitForExit(20s) != 0) {
        failures.push_back("SIGTERM did not end the program with status 0 within 20 s");
    }
    if (!failures.empty()) {
        std::string sent;
        for (const PtyPhone::Line& line : phone.lines()) {
            sent += std::to_string(line.ms) + " < " + line.text + "\n";
        }
        figures += "\nwhat the program sent:\n" + tail(sent, 60) + "its log:\n" +
                   tail(zintor.logText(), 60) + "its standard error:\n" +
                   tail(zintor.errorOutput(), 20);
    }
    return failures;
}

}  // namespace
}  // namespace zintor

int main(int argc, char** argv) {
    std::map<std::string, long> options{{"--seed", 1}, {"--seeds", 1}};
    for (int i = 1; i < argc; i += 2) {
        const long value = i + 1 < argc ? std::strtol(argv[i + 1], nullptr, 10) : 0;
        if (!options.contains(argv[i]) || value <= 0) {
            std::fprintf(stderr, "usage: %s [--seed S] [--seeds N]\n", argv[0]);
            return 2;
        }
        options[argv[i]] = value;
    }
    if (zintor::testing::ChildProcess::find("Xvfb").empty()) {
        std::printf("needs Xvfb\n");
        return std::getenv("ZINTOR_REQUIRE_ALL") != nullptr ? 1 : 77;
    }
    const auto first = static_cast<std::uint32_t>(options["--seed"]);
    const int count = static_cast<int>(options["--seeds"]);
    int passed = 0;
    for (std::uint32_t seed = first; seed < first + static_cast<std::uint32_t>(count); ++seed) {
        std::string figures;
        const std::vector<std::string> failures = zintor::runSeed(seed, figures);
        passed += failures.empty() ? 1 : 0;
        std::printf("seed %u: %s\n", seed, failures.empty() ? "pass" : "FAIL");
        for (const std::string& failure : failures) {
            std::printf("  %s\n", failure.c_str());
        }
        std::printf("  %s\n", figures.c_str());
        failures.empty() ? void() : void(std::printf("replay: %s --seed %u\n", argv[0], seed));
        std::fflush(stdout);
    }
    std::printf("%d of %d seeds pass\n", passed, count);
    return passed == count ? 0 : 1;
}

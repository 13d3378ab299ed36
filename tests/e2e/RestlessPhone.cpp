// The restless phone: the real zintor, on an X server of its own, against a virtual phone that
// misbehaves for a while and then behaves again. The misbehaviour is a schedule drawn from a seed:
// menu and key lines at random, answers out of place, garbage without line ends, silences of up
// to 12 s, echo switched on and off, bursts of up to 40 lines. Checked:
//   1. within 10 s of the calm, *EAAI gets the main menu, About its pop-up, closing it the menu;
//   2. every byte the program wrote belongs to a well-formed command line of its dialect;
//   3. the program's event loop never went more than 3 s without answering a ping (LoopWatch);
//   4. once the link has ended (the phone hangs up), no key and no mouse button is held down;
//   and the program still ends with status 0 on SIGTERM.
//
//   zintor_restless_phone [--seed S] [--seeds N] [--storm-seconds T]
//
// runs the seeds S to S+N-1 (one seed, 1, and a 40 s storm by default) and prints a line for each
// and a summary. A failing seed prints how to replay it, its schedule as a zintor-phone script,
// and the tails of what the program sent, of its log and of its standard error. Exit status 0
// when every seed passes, 1 when one fails, 77 (skipped) without Xvfb unless ZINTOR_REQUIRE_ALL.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
using testing::ChildProcess;

constexpr auto kServedWithin = 10s;
constexpr auto kLongestStall = 3000ms;
constexpr int kLongestSilenceMs = 12000;
// After a silence the phone answers at least this long: the program has time to reconnect, so a
// program that works never gives up on it (it does after about 25 s without answers).
constexpr int kTalkAfterSilenceMs = 6000;
constexpr int kSkipped = 77;
constexpr const char* kMainMenu = "AT*EASM=\"Zintor\",1,";

std::int64_t msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Bytes as a zintor-phone :raw argument: printable ASCII as it is, anything else escaped.
std::string escaped(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        out += c == '\\'                     ? "\\\\"
               : c == '\r'                   ? "\\r"
               : c == '\n'                   ? "\\n"
               : byte >= 0x20 && byte < 0x7f ? std::string(1, c)
                                             : std::string(hex);
    }
    return out;
}

// The last `lines` lines of `text`, each escaped as above and ended by a line break.
std::string tail(const std::string& text, std::size_t lines) {
    std::size_t at = text.ends_with('\n') ? text.size() - 1 : text.size();
    for (std::size_t n = 0; n < lines && at != std::string::npos; ++n) {
        at = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
    }
    std::string out;
    for (std::size_t start = at == std::string::npos ? 0 : at + 1; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        out += escaped(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line) + "\n";
        start = end + 1;
    }
    return out;
}

// One thing the phone does, `atMs` after the storm began.
struct Step {
    enum class Kind { Send, Echo, Silence } kind = Kind::Send;
    std::int64_t atMs = 0;
    std::string bytes;  // Send
    bool on = false;    // Echo
    int ms = 0;         // Silence: how long the phone answers nothing
};

// The storm of one seed.
class Storm {
  public:
    Storm(std::uint32_t seed, int seconds) : random_(seed) {
        bool echo = false;
        std::int64_t silenceAllowedAt = 0;
        for (std::int64_t at = gap(); at < seconds * 1000; at += gap()) {
            const int roll = below(100);
            Step step{Step::Kind::Send, at, "", false, 0};
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
                step = {Step::Kind::Echo, at, "", echo = !echo};
            } else if (at >= silenceAllowedAt) {
                step = {Step::Kind::Silence, at, "", false, 1000 + below(kLongestSilenceMs - 999)};
                silenceAllowedAt = at + step.ms + kTalkAfterSilenceMs;
                at += below(2) == 0 ? step.ms : 0;  // half of them: the phone says nothing at all
            } else {
                continue;
            }
            steps_.push_back(step);
        }
    }

    const std::vector<Step>& steps() const { return steps_; }
    // The keys the phone pressed last and has not released.
    const std::set<std::string>& pressed() const { return pressed_; }

    // The schedule as a zintor-phone script, to replay it by hand.
    std::string script(int seconds) const {
        std::string out;
        std::int64_t at = 0;
        const auto sleepUntil = [&](std::int64_t ms) {
            out += ms > at ? ":sleep " + std::to_string(ms - at) + "\n" : "";
            at = std::max(at, ms);
        };
        for (const Step& step : steps_) {
            sleepUntil(step.atMs);
            const std::string body = step.bytes.substr(0, step.bytes.size() - 2);
            const bool plain = step.bytes.ends_with("\r\n") && !body.empty() && body[0] != ':' &&
                               escaped(body) == body;
            out += step.kind == Step::Kind::Echo ? std::string(":echo ") + (step.on ? "on" : "off")
                   : step.kind == Step::Kind::Silence ? ":silent " + std::to_string(step.ms)
                   : plain                            ? body
                                                      : ":raw " + escaped(step.bytes);
            out += "\n";
        }
        sleepUntil(seconds * 1000);
        return out + ":echo off\n:talk\n";
    }

  private:
    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    // Mostly short pauses, now and then up to 2.5 s.
    std::int64_t gap() { return below(10) == 0 ? below(2500) : below(400); }

    std::string menuLine() {
        static const std::vector<std::string> kTexts{"hello", "Caf\xe9",     "say \"hi\"",
                                                     "",      "ATD5551234;", std::string(150, 'w')};
        // Menu choices most, as a user who goes into menus; a few numbers beyond the items.
        switch (below(12)) {
            case 0:
                return "*EAMI";
            case 1:
                return "*EAAI";
            case 2:
                return "*EAII: 0";
            case 3:
                return "*EAII: 1,1";
            case 4:
                return "*EAII: 11,\"" + kTexts[below(static_cast<int>(kTexts.size()))] + "\"";
            case 5:
                return "*EAII: 14,1";
            case 6:
                return "*EAII";
            default:
                return "*EAMI: " + std::to_string(1 + below(4));
        }
    }
    std::string keyLine() {
        const auto& codes = web::PhoneModel::keyCodes();
        const std::string code = codes[below(static_cast<int>(codes.size()))];
        const bool press = below(2) == 0;
        if (press) {
            pressed_.insert(code);
        } else {
            pressed_.erase(code);
        }
        return "+CKEV: " + code + (press ? ",1" : ",0");
    }
    std::string answerLine() {
        static const std::vector<std::string> kAnswers{"OK", "ERROR", "+CME ERROR: 3",
                                                       PtyPhone::kModel};
        return kAnswers[below(static_cast<int>(kAnswers.size()))];
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
    std::vector<Step> steps_;
    std::set<std::string> pressed_;
};

// The index of the first line the program sent after the first `from` that starts with `prefix`,
// or -1 when none came before `deadline`.
int waitForPrefix(const PtyPhone& phone, const std::string& prefix, std::size_t from,
                  Clock::time_point deadline) {
    int index = -1;
    const auto left = std::max(Clock::duration(0), deadline - Clock::now());
    phone.waitUntil(
        [&](const std::vector<PtyPhone::Line>& lines) {
            for (std::size_t i = from; i < lines.size() && index < 0; ++i) {
                index = lines[i].text.starts_with(prefix) ? static_cast<int>(i) : -1;
            }
            return index >= 0;
        },
        std::chrono::duration_cast<std::chrono::milliseconds>(left));
    return index;
}

// The number of the item `text` in a menu line (AT*EASM="title",1,n,count,"item",...), or 0.
int itemNumber(const std::string& menu, const std::string& text) {
    std::vector<std::string> quoted;
    for (std::size_t open = menu.find('"'); open != std::string::npos;) {
        const std::size_t close = menu.find('"', open + 1);
        quoted.push_back(menu.substr(open + 1, close - open - 1));
        open = close == std::string::npos ? close : menu.find('"', close + 1);
    }
    const auto it = std::find(quoted.begin(), quoted.end(), text);
    return it == quoted.end() ? 0 : static_cast<int>(it - quoted.begin());
}

// The user opens the accessory entry, chooses About in the main menu and closes its pop-up: ""
// when each step got its answer before `deadline`, otherwise which did not.
std::string serve(PtyPhone& phone, Clock::time_point deadline) {
    int menu = -1;
    // Opened again every 2 s, as a user would: a line sent while the program reconnects is lost.
    while (menu < 0 && Clock::now() < deadline) {
        const std::size_t from = phone.lines().size();
        phone.send("*EAAI\r\n");
        menu = waitForPrefix(phone, std::string(kMainMenu) + "1,", from,
                             std::min(deadline, Clock::now() + 2s));
    }
    if (menu < 0) {
        return "*EAAI got no main menu";
    }
    std::vector<std::string> lines = phone.texts();
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& line) {
        return line.starts_with(kMainMenu);
    });
    const int about = itemNumber(*last, "About");
    if (about == 0) {
        return "no About in the main menu " + *last;
    }
    phone.send("*EAMI: " + std::to_string(about) + "\r\n");
    if (waitForPrefix(phone, "AT*EAID=1,2,\"Zintor ", lines.size(), deadline) < 0) {
        return "*EAMI: " + std::to_string(about) + " (About) got no About pop-up";
    }
    lines = phone.texts();
    phone.send("*EAII: 0\r\n");
    if (waitForPrefix(phone, kMainMenu, lines.size(), deadline) < 0) {
        return "closing the About pop-up (*EAII: 0) got no main menu";
    }
    return "";
}

// What the program wrote that is not a well-formed command line of its dialect: each line starts
// with AT or at, holds printable ISO 8859-1 only and balanced quotes, is one the phone accepts
// (the phone model answers ERROR to a malformed command) and ends in CR LF.
std::vector<std::string> malformedLines(const std::string& bytes) {
    std::vector<std::string> bad;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        const bool printable = std::all_of(line.begin(), line.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return (byte >= 0x20 && byte < 0x7f) || byte >= 0xa0;
        });
        const bool wellFormed = (line.starts_with("AT") || line.starts_with("at")) && printable &&
                                std::count(line.begin(), line.end(), '"') % 2 == 0 &&
                                web::PhoneModel().answer(line) != "\r\nERROR\r\n";
        if (!wellFormed) {
            bad.push_back(escaped(line));
        }
    }
    if (start < bytes.size()) {
        bad.push_back(escaped(bytes.substr(start)) + " (no CR LF)");
    }
    return bad;
}

struct Outcome {
    std::vector<std::string> failures;
    std::string figures;  // for a seed that passes
    std::string report;   // for one that fails
};

Outcome runSeed(std::uint32_t seed, int stormSeconds) {
    Outcome out;
    const Storm storm(seed, stormSeconds);
    testing::PrivateXServer x;
    PtyPhone phone;
    const auto phoneMade = Clock::now();
    test::ZintorProcess zintor;
    if (!x.startPrivate(-1) || !phone.ok()) {
        out.failures.push_back("no private Xvfb or no pseudo-terminal: " + phone.error());
        return out;
    }
    zintor.pin(1, "/dev/null");  // COM1 may be this machine's console UART
    zintor.pin(5, phone.slavePath());
    // No program in the application slots (a fresh folder has none) and no media player path:
    // the storm starts no program. The player and the volume talk to servers that are not there.
    zintor.writeSettings("Com=5\nLog=1\nAppPath9=\n");
    const bool started = zintor.start({{"DISPLAY", x.display()},
                                       {"WAYLAND_DISPLAY", ""},
                                       {"QT_QPA_PLATFORM", "xcb"},
                                       {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"},
                                       {"PULSE_SERVER", "unix:/nonexistent"}});
    test::LoopWatch watch(x.display());
    std::string times;
    if (!started || waitForPrefix(phone, kMainMenu, 0, Clock::now() + 30s) < 0) {
        out.failures.push_back("the program did not connect to the phone within 30 s");
    } else if (!watch.start(zintor.pid(), 10s)) {
        out.failures.push_back(watch.error());
    } else {
        const auto stormStart = Clock::now();
        for (const Step& step : storm.steps()) {
            std::this_thread::sleep_until(stormStart + std::chrono::milliseconds(step.atMs));
            step.kind == Step::Kind::Send   ? phone.send(step.bytes)
            : step.kind == Step::Kind::Echo ? phone.setEcho(step.on)
                                            : phone.silenceFor(std::chrono::milliseconds(step.ms));
        }
        std::this_thread::sleep_until(stormStart + std::chrono::seconds(stormSeconds));

        phone.setEcho(false);
        phone.setSilent(false);
        const auto calm = Clock::now();
        const std::size_t calmFrom = phone.lines().size();
        std::string releases;
        for (const std::string& code : storm.pressed()) {
            releases += "+CKEV: " + code + ",0\r\n";
        }
        phone.send(releases);
        if (const std::string missing = serve(phone, calm + kServedWithin); !missing.empty()) {
            const bool silent = phone.lines().size() == calmFrom;
            out.failures.push_back(
                "not served within 10 s of the calm: " + missing +
                (silent ? " (the program sent nothing: it gave up the link)" : ""));
        }
        const std::int64_t servedMs = msSince(calm);
        const auto stall = watch.stop();
        if (stall > kLongestStall) {
            out.failures.push_back("the program's event loop left a ping unanswered for " +
                                   std::to_string(stall.count()) + " ms");
        }
        for (const std::string& line : malformedLines(phone.received())) {
            out.failures.push_back("malformed line from the program: " + line);
        }
        phone.hangUp();
        if (!ChildProcess::eventually([&] { return watch.held().empty(); }, 3s)) {
            out.failures.push_back("held on the X server after the link ended: " + watch.held());
        }
        out.figures = "served " + std::to_string(servedMs) + " ms after the calm, " +
                      std::to_string(watch.answered()) + " pings answered, longest wait " +
                      std::to_string(stall.count()) + " ms, " +
                      std::to_string(phone.lines().size()) + " lines from the program";
        times = "; the storm began at " + std::to_string(msSince(phoneMade) - msSince(stormStart)) +
                ", the calm at " + std::to_string(msSince(phoneMade) - msSince(calm));
    }
    zintor.signal(SIGTERM);
    if (const auto status = zintor.waitForExit(20s); status != 0) {
        out.failures.push_back("SIGTERM did not end the program with status 0 within 20 s");
    }
    if (out.failures.empty()) {
        return out;
    }
    std::string sent;
    for (const PtyPhone::Line& line : phone.lines()) {
        sent += std::to_string(line.ms) + " < " + line.text + "\n";
    }
    out.report = "schedule (a zintor-phone --script):\n" + storm.script(stormSeconds) +
                 "what the program sent, last lines (ms on the phone's clock" + times + "):\n" +
                 tail(sent, 60) + "its log, last lines:\n" + tail(zintor.logText(), 60) +
                 "its standard error, last lines:\n" + tail(zintor.errorOutput(), 20);
    return out;
}

}  // namespace
}  // namespace zintor

int main(int argc, char** argv) {
    std::uint32_t first = 1;
    int count = 1;
    int stormSeconds = 40;
    const auto usage = [&](std::FILE* to) {
        std::fprintf(to, "usage: %s [--seed S] [--seeds N] [--storm-seconds T]\n", argv[0]);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        const char* value = i + 1 < argc ? argv[++i] : "";
        const long number = std::strtol(value, nullptr, 10);
        if (arg == "--seed") {
            first = static_cast<std::uint32_t>(number);
        } else if (arg == "--seeds" && number > 0) {
            count = static_cast<int>(number);
        } else if (arg == "--storm-seconds" && number > 0) {
            stormSeconds = static_cast<int>(number);
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (zintor::testing::ChildProcess::find("Xvfb").empty()) {
        std::printf("needs Xvfb\n");
        return std::getenv("ZINTOR_REQUIRE_ALL") != nullptr ? 1 : zintor::kSkipped;
    }
    int passed = 0;
    for (std::uint32_t seed = first; seed < first + static_cast<std::uint32_t>(count); ++seed) {
        const zintor::Outcome outcome = zintor::runSeed(seed, stormSeconds);
        if (outcome.failures.empty()) {
            ++passed;
            std::printf("seed %u: pass (%s)\n", seed, outcome.figures.c_str());
        } else {
            std::printf("seed %u: FAIL (%s)\n", seed, outcome.figures.c_str());
            for (const std::string& failure : outcome.failures) {
                std::printf("  %s\n", failure.c_str());
            }
            std::printf("replay: %s --seed %u --storm-seconds %d\n%s\n", argv[0], seed,
                        stormSeconds, outcome.report.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d of %d seeds pass\n", passed, count);
    return passed == count ? 0 : 1;
}

// The fault simulation (README.md, "Fault simulation"): the whole program on the simulated world
// under seeded random schedules, episodes of the phone, its user, the user at the PC and the world
// overlapping in virtual time; then the phone behaves and must be served again.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>

#include "World.h"

namespace zintor::faultsim {
namespace {

const char* const kKeys[] = {"0", "1", "2",  "3",  "4",  "5", "6", "7", "8", "9", "u", "d",
                             "*", "#", ":O", ":C", ":R", "<", ">", "v", "^", "[", "]", "c"};
const char* const kLines[] = {"*EAAI",    "*EAMI: 1", "*EAMI: 2",   "*EAMI: 3",    "*EAMI: 4",
                              "*EAMI: 5", "*EAMI: 0", "*EAMI: 9",   "*EAMI: 10",   "*EAMI",
                              "*EAII: 0", "*EAII",    "*EAII: 1,1", "*EAII: 14,1", "OK",
                              "ERROR",    "RING",     "*EAMI: 99",  "*EAMI: x",    "*EAII: 11,"};
const char* const kTyped[] = {"hello", "Caf\xE9 \"q\"", "a\x01z", "", "Z9"};
const char* const kAnswers[] = {"OK", "ERROR", "+CME ERROR: 3", "K750i"};
// What the program sends to connect (and to rebuild the link), and the menus and pop-ups.
const char* const kCommands[] = {"AT",      "AT+cgmm", "at+cscs", "AT+CMER",
                                 "AT*EAM=", "AT*EASM", "AT*EAID"};

class Generator {
  public:
    explicit Generator(std::uint64_t seed) : engine_(seed * 0x9E3779B97F4A7C15ull + 1) {}

    Schedule run() {
        Schedule s;
        s.com = pick({3, 3, 3, 0, 1});
        s.autoConnect = chance(85);
        s.playerPath = chance(70);
        s.playlist = pick({0, 1, 3, 12, 50000});
        s.current = s.playlist > 0 ? below(s.playlist) : 0;
        s.player = chance(70) ? 0 : below(3);
        s.mixer = chance(80);
        s.board = chance(60);
        s.speed = pick({0, 1, 5, 5, 10, 50});
        const std::int64_t end = between(20000, 60000);
        for (int i = chance(40) ? between(1, 2) : 0; i > 0; --i) {  // from the start on
            rule(0);
        }
        for (t_ = between(0, 1500); t_ < end; t_ += between(10, 1200)) {
            episode();
        }
        std::ranges::stable_sort(events_, {}, &Event::atMs);
        s.endMs = std::max(end, events_.empty() ? 0 : events_.back().atMs + 100);
        s.events = std::move(events_);
        return s;
    }

  private:
    int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    T pick(std::initializer_list<T> items) {
        return *(items.begin() + below(static_cast<int>(items.size())));
    }

    Event& add(std::int64_t at, const Act& act, std::string text = {}, int a = 0, int b = 0) {
        return events_.emplace_back(Event{at, &act, std::move(text), a, b, {}, {}});
    }

    std::string menuLine() {
        const std::string line = kLines[below(std::size(kLines))];
        return line + (line == "*EAII: 11," ? kTyped[below(std::size(kTyped))] : "") + "\r\n";
    }

    void phoneSends(std::int64_t at, std::string text) {  // whole or cut at random bytes
        Event& e = add(at, kPhoneSends, std::move(text));
        if (chance(30) && e.text.size() > 1) {
            for (int i = between(1, 3); i > 0; --i) {
                e.points.push_back(static_cast<std::size_t>(between(1, e.text.size() - 1)));
            }
            std::sort(e.points.begin(), e.points.end());
            e.a = between(0, 30);
        }
    }

    // Lines of every kind, answers among them, and bytes without a line end.
    std::string mixedBurst(int lines) {
        std::string burst;
        for (int i = 0; i < lines; ++i) {
            const int kind = below(4);
            burst += kind == 0   ? menuLine()
                     : kind == 1 ? std::string(kAnswers[below(std::size(kAnswers))]) + "\r\n"
                     : kind == 2 ? "+CKEV: " + std::string(kKeys[below(std::size(kKeys))]) +
                                       (chance(50) ? ",1\r\n" : ",0\r\n")
                                 : std::string(static_cast<std::size_t>(between(1, 8)),
                                               static_cast<char>(between(0x21, 0x7E)));
        }
        return burst;
    }

    void rule(std::int64_t at) {  // how the phone answers a command the next 1 to 3 times
        const int kind = below(9);
        const std::string command = kCommands[below(std::size(kCommands))];
        Event& e = add(at, kRule, kind == 3 ? "AT+cgmm" : command, kind, between(300, 1500));
        e.more = kind == 5 ? pick<std::string>({"K750i", "*EAMI: 1", "*EAAI", "+CKEV: 5,1"})
                 : kind == 6 || kind == 7 ? mixedBurst(between(1, 6))
                                          : "";
    }

    void keys() {
        const std::string key =
            chance(40) ? pick({"<", ">", "v", "^", "5", "u", "0"}) : kKeys[below(std::size(kKeys))];
        const bool direction = key == "<" || key == ">" || key == "v" || key == "^";
        const int kind = below(10);  // 0: a release without its press, 1: a press without release
        kind != 0 ? void(add(t_, kKeyPress, key)) : void();
        kind != 1 ? void(add(t_ + between(20, direction ? 1500 : 2500), kKeyRelease, key)) : void();
    }

    void phoneFault() {
        const int kind = below(8);
        if (kind == 0) {  // garbage, NUL bytes included, then the kinds of answers
            std::string junk;
            for (int i = between(1, 64); i > 0; --i) {
                junk += static_cast<char>(below(256));
            }
            phoneSends(t_, junk + (chance(50) ? "\r\n" : ""));
        } else if (kind == 1) {
            phoneSends(t_, std::string(static_cast<std::size_t>(between(9000, 20000)), 'A') +
                               (chance(70) ? "\r\n" : ""));
        } else if (kind == 2 && chance(50)) {  // a burst of key lines
            const std::string key = pick({"3", "1", "2", "4", "7", "*", "#", "5", "<"});
            std::string burst;
            for (int i = pick({2, 20, 300}); i > 0; --i) {
                burst += "+CKEV: " + key + ",1\r\n+CKEV: " + key + ",0\r\n";
            }
            add(t_, kPhoneSends, burst);
        } else if (kind == 2) {
            add(t_, kPhoneSends, mixedBurst(pick({2, 20, 300})));
        } else if (kind == 3) {
            add(t_, kEcho, {}, chance(50));
        } else if (kind <= 5) {
            rule(t_);
        } else if (kind == 6) {
            add(t_, kAnswerDelay, {}, pick({0, 20, 20, 200, 450}));
        } else {
            add(t_, kModemLines);
        }
    }

    void linkEvent() {
        const int kind = below(5);
        if (kind <= 2) {
            add(t_, kind == 0 ? kRing : kind == 1 ? kBreak : kHangUp);
            kind == 1 ? userReconnects(kConnectClick) : void();
        } else {  // silent a while (rebooting, out of reach), then back, in a window of its own
            const bool longSilence = chance(15);  // long enough for the program to give up
            add(t_, kReboot);
            Event& back = add(t_ += longSilence ? 40000 : between(1000, 15000), kPhoneBack);
            if (chance(40)) {  // lines it kept while away
                back.more = mixedBurst(between(1, 30));
            } else if (!longSilence) {
                add(t_ += 4500, kExpectRelinked);
            }
        }
    }

    void userReconnects(const Act& act) {  // mostly the user puts the link back after a while
        if (chance(70)) {
            const std::int64_t at = t_ + between(500, 5000);
            add(at, act, {}, 1);
            chance(40) ? void(add(at + between(0, 1500), kPhoneSends, mixedBurst(between(2, 40))))
                       : void();
        }
    }

    void pcUser() {
        const int kind = below(10);
        if (kind <= 1 || kind == 3) {
            const Act& act = kind == 3 ? kPortChoice : kConnectClick;
            add(t_, act, {}, kind == 3 ? below(4) : 0);
            userReconnects(act);  // the phone's port is item 1
        } else if (kind <= 7 || chance(20)) {
            const Act* const acts[] = {&kAutoConnectClick, &kPortChoice,  &kSettings, &kMouseSpeed,
                                       &kCloseHelp,        &kCloseNotice, &kExit};
            add(t_, *acts[std::min(kind, 8) - 2], {},
                kind == 4   ? below(4)
                : kind == 5 ? pick({0, 3, 50})
                            : 0,
                kind == 4 ? pick({0, 0, 500, 3000, 8000}) : 0);  // how long settings stay open
        }
    }

    void world() {
        const int kind = below(5);
        if (kind == 1) {
            const int size = pick({0, 1, 12, 50000});
            add(t_, kPlaylist, {}, size, size > 0 ? below(size) : 0);
        } else {
            const Act* const acts[] = {&kPlayer, &kPlaylist, &kMixer, &kBoard, &kPortsChange};
            add(t_, *acts[kind], {}, kind == 0 ? below(3) : chance(50));
        }
    }

    void episode() {
        const int roll = below(100);
        if (roll < 25) {  // the user finds a screen: the accessory entry, then choices
            std::int64_t at = t_;
            if (chance(60)) {
                phoneSends(at, "*EAAI\r\n");
                at += between(50, 800);
            }
            for (int i = between(1, 3); i > 0; --i) {
                phoneSends(at, chance(40) ? "*EAMI: 1\r\n" : menuLine());
                at += between(50, 800);
            }
        } else if (roll < 55) {
            keys();
        } else if (roll < 63) {
            phoneSends(t_, menuLine());
        } else if (roll < 78) {
            phoneFault();
        } else if (roll < 84) {
            linkEvent();
        } else if (roll < 94) {
            pcUser();
        } else {
            world();
        }
    }

    std::mt19937_64 engine_;
    std::int64_t t_ = 0;
    std::vector<Event> events_;
};

// Seeds that found a fault of the program (README.md, "Fault simulation", tells which).
const unsigned long long kRegressions[] = {181, 2520, 3434, 42785, 55817, 57568};

// The failure, or "" when the schedule passes. `show` prints the end of the conversation.
std::string run(const Schedule& schedule, bool show) {
    World world(schedule);
    SimEventLoop& loop = world.sim.loop;
    std::string failure;
    try {
        for (const Event& e : schedule.events) {
            // How the phone is from the start on is so before the program starts.
            e.atMs == 0 ? world.apply(e)
                        : loop.schedule(e.atMs, [&world, &e] { world.check(), world.apply(e); });
        }
        loop.startTimer(100, [&world] { world.check(); });
        show ? world.sim.settings.set("Log", "1") : void();  // the program's own log
        world.program->startup();
        loop.runUntil(schedule.endMs);
        world.serve();
        loop.schedule(loop.now(), [&world] { world.check(), world.exit(); });
        for (const std::int64_t end = loop.now() + 60000; !world.exited() && loop.now() < end;) {
            loop.runFor(100);
        }
        if (!world.exited()) {
            throw Failure("the shutdown did not end within 60 s of the exit");
        }
        loop.runFor(4000);
        world.finalCheck();
    } catch (const std::exception& error) {
        failure = "at " + std::to_string(loop.now()) + " ms: " + error.what();
    }
    const auto& lines = world.sim.phone.lines();
    for (std::size_t i = lines.size() > 40 ? lines.size() - 40 : 0; show && i < lines.size(); ++i) {
        std::printf("%10.3f s  to the phone: %s\n", static_cast<double>(lines[i].atMs) / 1000,
                    lines[i].text.c_str());
    }
    for (const auto& [name, text] : world.sim.files.files()) {
        const std::size_t tail = text.size() > 6000 ? text.find('\n', text.size() - 6000) : 0;
        show&& name.starts_with(world.sim.files.folder(KnownFolder::kLog))
            ? void(std::printf("%s, its end:\n%s", name.c_str(), text.substr(tail).c_str()))
            : void();
    }
    return failure;
}

}  // namespace
}  // namespace zintor::faultsim

int main(int argc, char** argv) {
    using namespace zintor::faultsim;
    const std::string option = argc == 3 ? argv[1] : argc == 2 ? argv[1] : "--seeds";
    const unsigned long long number = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 2000;
    const bool replay = option == "--replay", regressions = option == "--regressions";
    if (argc > 3 || (argc == 3 && !replay && option != "--seeds") || (argc == 2 && !regressions)) {
        std::fprintf(stderr, "usage: %s [--seeds N] | --replay S | --regressions\n", argv[0]);
        return 2;
    }
    std::vector<unsigned long long> seeds(replay ? 1 : number);
    std::iota(seeds.begin(), seeds.end(), replay ? number : 0);
    seeds = regressions ? std::vector(std::begin(kRegressions), std::end(kRegressions)) : seeds;
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    for (const unsigned long long s : seeds) {
        const Schedule c = Generator(s).run();
        if (replay) {
            std::printf(
                "seed %llu: port %d, AutoConnect %d, player path %d, player %d (running, "
                "hung, closed), %d entries (current %d), mixer %d, board %d, speed %d\n",
                s, c.com, c.autoConnect, c.playerPath, c.player, c.playlist, c.current, c.mixer,
                c.board, c.speed);
            for (std::size_t i = 0; i < c.events.size(); ++i) {
                std::printf("%4zu %s\n", i + 1, describe(c.events[i]).c_str());
            }
            std::printf(
                "     %8.3f s  the phone behaves and is served; then the user clicks Exit\n",
                static_cast<double>(c.endMs) / 1000);
        }
        if (const std::string failure = run(c, replay); !failure.empty()) {
            ++failures;
            std::printf("seed %llu FAILED %s\n  replay: %s --replay %llu\n", s, failure.c_str(),
                        argv[0], s);
            std::fflush(stdout);
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu seeds: %d failed; %.2f s per 1,000 seeds\n", seeds.size(), failures,
                took.count() * 1000.0 / static_cast<double>(seeds.size()));
    return failures == 0 ? 0 : 1;
}

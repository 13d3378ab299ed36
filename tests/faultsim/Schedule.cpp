// Seeded random schedules: episodes of the phone, its user, the user at the PC and the world,
// overlapping in virtual time. Seeds kept as regression cases rely on the order of the draws.
#include "Schedule.h"

#include <algorithm>
#include <random>

namespace zintor::faultsim {
namespace {

class Random {
  public:
    explicit Random(std::uint64_t seed) : engine_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    T pick(std::initializer_list<T> items) {
        return *(items.begin() + below(static_cast<int>(items.size())));
    }

  private:
    std::mt19937_64 engine_;
};

const char* const kKeys[] = {"0", "1", "2",  "3",  "4",  "5", "6", "7", "8", "9", "u", "d",
                             "*", "#", ":O", ":C", ":R", "<", ">", "v", "^", "[", "]", "c"};
const char* const kLines[] = {"*EAAI",    "*EAMI: 1", "*EAMI: 2",   "*EAMI: 3",    "*EAMI: 4",
                              "*EAMI: 5", "*EAMI: 0", "*EAMI: 9",   "*EAMI: 10",   "*EAMI",
                              "*EAII: 0", "*EAII",    "*EAII: 1,1", "*EAII: 14,1", "OK",
                              "ERROR",    "RING",     "*EAMI: 99",  "*EAMI: x",    "*EAII: 11,"};
const char* const kTyped[] = {"hello", "Caf\xE9 \"q\"", "a\x01z", "", "Z9"};

class Generator {
  public:
    explicit Generator(std::uint64_t seed) : r_(seed) {}

    Schedule run() {
        Schedule s;
        s.com = r_.pick({3, 3, 3, 0, 1});
        s.autoConnect = r_.chance(85);
        s.playerPath = r_.chance(70);
        s.playlist = r_.pick({0, 1, 3, 12, 50000});
        s.current = s.playlist > 0 ? r_.below(s.playlist) : 0;
        s.player = r_.chance(70) ? 0 : r_.below(3);
        s.mixer = r_.chance(80);
        s.board = r_.chance(60);
        s.speed = r_.pick({0, 1, 5, 5, 10, 50});
        const std::int64_t end = r_.between(20000, 60000);
        for (t_ = r_.between(0, 1500); t_ < end; t_ += r_.between(10, 1200)) {
            episode();
        }
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& x, const Event& y) { return x.atMs < y.atMs; });
        s.endMs = std::max(end, events_.empty() ? 0 : events_.back().atMs + 100);
        s.events = std::move(events_);
        return s;
    }

  private:
    Event& add(std::int64_t at, Act act, std::string text = {}, int a = 0, int b = 0) {
        return events_.emplace_back(Event{at, act, std::move(text), a, b, {}});
    }

    std::string menuLine() {
        std::string line = kLines[r_.below(std::size(kLines))];
        if (line == "*EAII: 11,") {
            line += kTyped[r_.below(std::size(kTyped))];
        }
        return line + "\r\n";
    }

    // The phone sends `text`, whole or cut at random bytes.
    void phoneSends(std::int64_t at, std::string text) {
        Event& e = add(at, Act::PhoneSends, std::move(text));
        if (r_.chance(30) && e.text.size() > 1) {
            for (int i = r_.between(1, 3); i > 0; --i) {
                e.points.push_back(static_cast<std::size_t>(r_.between(1, e.text.size() - 1)));
            }
            std::sort(e.points.begin(), e.points.end());
            e.a = r_.between(0, 30);
        }
    }

    // Presses and releases, also a release without its press and a press without its release.
    void keys() {
        const std::string key = r_.chance(40) ? r_.pick({"<", ">", "v", "^", "5", "u", "0"})
                                              : kKeys[r_.below(std::size(kKeys))];
        const bool direction = key == "<" || key == ">" || key == "v" || key == "^";
        const int kind = r_.below(10);  // 0: release only, 1: press only
        if (kind != 0) {
            add(t_, Act::KeyPress, key);
        }
        if (kind != 1) {
            add(t_ + r_.between(20, direction ? 1500 : 2500), Act::KeyRelease, key);
        }
    }

    void phoneFault() {
        const int kind = r_.below(8);
        if (kind == 0) {  // garbage, NUL bytes included
            std::string junk;
            for (int i = r_.between(1, 64); i > 0; --i) {
                junk += static_cast<char>(r_.below(256));
            }
            phoneSends(t_, junk + (r_.chance(50) ? "\r\n" : ""));
        } else if (kind == 1) {
            phoneSends(t_, std::string(static_cast<std::size_t>(r_.between(9000, 20000)), 'A') +
                               (r_.chance(70) ? "\r\n" : ""));
        } else if (kind == 2) {  // a burst of key lines
            const std::string key = r_.pick({"3", "1", "2", "4", "7", "*", "#", "5", "<"});
            std::string burst;
            for (int i = r_.pick({2, 20, 300}); i > 0; --i) {
                burst += "+CKEV: " + key + ",1\r\n+CKEV: " + key + ",0\r\n";
            }
            add(t_, Act::PhoneSends, burst);
        } else if (kind == 3) {
            add(t_, Act::Echo, {}, r_.chance(50));
        } else if (kind <= 5) {
            add(t_, Act::Rule,
                r_.pick<std::string>({"AT", "AT+cgmm", "AT*EASM", "AT*EAID", "AT+CMER", "AT*EAM"}),
                r_.below(4), r_.between(300, 1500));
        } else if (kind == 6) {
            add(t_, Act::AnswerDelay, {}, r_.pick({0, 20, 20, 200, 450}));
        } else {
            add(t_, Act::ModemLines);
        }
    }

    void linkEvent() {
        const int kind = r_.below(5);
        if (kind == 0 || kind == 2) {
            add(t_, kind == 0 ? Act::Ring : Act::HangUp);
        } else if (kind == 1) {
            add(t_, Act::Break);
            userReconnects(Act::ConnectClick);
        } else {  // a reboot: silent a while, then back, in a window of its own
            const bool longSilence = r_.chance(15);
            const int silentMs = longSilence ? 40000 : r_.between(1000, 12000);
            add(t_, Act::Reboot);
            add(t_ += silentMs, Act::PhoneBack);
            if (!longSilence) {
                add(t_ += 4500, Act::ExpectRelinked);
            }
        }
    }

    // Mostly the user puts the link back after a while.
    void userReconnects(Act act) {
        if (r_.chance(70)) {
            add(t_ + r_.between(500, 5000), act, {}, 1);
        }
    }

    void pcUser() {
        const int kind = r_.below(10);
        if (kind <= 1 || kind == 3) {
            const Act act = kind == 3 ? Act::PortChoice : Act::ConnectClick;
            add(t_, act, {}, kind == 3 ? r_.below(4) : 0);
            userReconnects(act);  // the phone's port is item 1
        } else if (kind == 2 || kind == 6 || kind == 7) {
            add(t_, kind == 2   ? Act::AutoConnectClick
                    : kind == 6 ? Act::CloseHelp
                                : Act::CloseNotice);
        } else if (kind == 4 || kind == 5) {
            add(t_, kind == 4 ? Act::Settings : Act::MouseSpeed, {},
                kind == 4 ? r_.below(4) : r_.pick({0, 3, 50}));
        } else if (r_.chance(20)) {
            add(t_, Act::Exit);
        }
    }

    void world() {
        const int kind = r_.below(5);
        if (kind == 1) {
            const int size = r_.pick({0, 1, 12, 50000});
            add(t_, Act::Playlist, {}, size, size > 0 ? r_.below(size) : 0);
        } else {
            const Act acts[] = {Act::Player, Act::Playlist, Act::Mixer, Act::Board,
                                Act::PortsChange};
            add(t_, acts[kind], {}, kind == 0 ? r_.below(3) : r_.chance(50));
        }
    }

    void episode() {
        const int roll = r_.below(100);
        if (roll < 25) {  // the user finds a screen: the accessory entry, then choices
            std::int64_t at = t_;
            if (r_.chance(60)) {
                phoneSends(at, "*EAAI\r\n");
                at += r_.between(50, 800);
            }
            for (int i = r_.between(1, 3); i > 0; --i) {
                phoneSends(at, r_.chance(40) ? "*EAMI: 1\r\n" : menuLine());
                at += r_.between(50, 800);
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

    Random r_;
    std::int64_t t_ = 0;
    std::vector<Event> events_;
};

}  // namespace

Schedule MakeSchedule(std::uint64_t seed) {
    return Generator(seed).run();
}

std::string DescribeStart(const Schedule& s) {
    const char* const players[] = {"running", "hung", "closed"};
    return "start: stored port " + std::to_string(s.com) + ", AutoConnect " +
           std::to_string(s.autoConnect) + ", player " + (s.playerPath ? "set" : "not set") +
           " and " + players[s.player] + " with " + std::to_string(s.playlist) +
           " entries (current " + std::to_string(s.current) + "), mixer " +
           (s.mixer ? "there" : "gone") + ", board " + (s.board ? "there" : "gone") +
           ", mouse speed " + std::to_string(s.speed);
}

}  // namespace zintor::faultsim

// Seeded random schedules: episodes of the phone, its user, the user at the PC and the world,
// overlapping in virtual time. Seeds kept as regression cases rely on the order of the draws.
#include "World.h"

#include <algorithm>
#include <random>

namespace zintor::faultsim {
namespace {

const char* const kKeys[] = {"0", "1", "2",  "3",  "4",  "5", "6", "7", "8", "9", "u", "d",
                             "*", "#", ":O", ":C", ":R", "<", ">", "v", "^", "[", "]", "c"};
const char* const kLines[] = {"*EAAI",    "*EAMI: 1", "*EAMI: 2",   "*EAMI: 3",    "*EAMI: 4",
                              "*EAMI: 5", "*EAMI: 0", "*EAMI: 9",   "*EAMI: 10",   "*EAMI",
                              "*EAII: 0", "*EAII",    "*EAII: 1,1", "*EAII: 14,1", "OK",
                              "ERROR",    "RING",     "*EAMI: 99",  "*EAMI: x",    "*EAII: 11,"};
const char* const kTyped[] = {"hello", "Caf\xE9 \"q\"", "a\x01z", "", "Z9"};

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
        for (t_ = between(0, 1500); t_ < end; t_ += between(10, 1200)) {
            episode();
        }
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& x, const Event& y) { return x.atMs < y.atMs; });
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
        return events_.emplace_back(Event{at, &act, std::move(text), a, b, {}});
    }

    std::string menuLine() {
        const std::string line = kLines[below(std::size(kLines))];
        return line + (line == "*EAII: 11," ? kTyped[below(std::size(kTyped))] : "") + "\r\n";
    }

    void phoneSends(  // whole or cut at random bytes
        std::int64_t at, std::string text) {
        Event& e = add(at, kPhoneSends, std::move(text));
        if (chance(30) && e.text.size() > 1) {
            for (int i = between(1, 3); i > 0; --i) {
                e.points.push_back(static_cast<std::size_t>(between(1, e.text.size() - 1)));
            }
            std::sort(e.points.begin(), e.points.end());
            e.a = between(0, 30);
        }
    }

    // Presses and releases, also a release without its press and a press without its release.
    void keys() {
        const std::string key =
            chance(40) ? pick({"<", ">", "v", "^", "5", "u", "0"}) : kKeys[below(std::size(kKeys))];
        const bool direction = key == "<" || key == ">" || key == "v" || key == "^";
        const int kind = below(10);  // 0: release only, 1: press only
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
        } else if (kind == 2) {  // a burst of key lines
            const std::string key = pick({"3", "1", "2", "4", "7", "*", "#", "5", "<"});
            std::string burst;
            for (int i = pick({2, 20, 300}); i > 0; --i) {
                burst += "+CKEV: " + key + ",1\r\n+CKEV: " + key + ",0\r\n";
            }
            add(t_, kPhoneSends, burst);
        } else if (kind == 3) {
            add(t_, kEcho, {}, chance(50));
        } else if (kind <= 5) {
            add(t_, kRule,
                pick<std::string>({"AT", "AT+cgmm", "AT*EASM", "AT*EAID", "AT+CMER", "AT*EAM"}),
                below(4), between(300, 1500));
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
        } else {  // a reboot: silent a while, then back, in a window of its own
            const bool longSilence = chance(15);
            const int silentMs = longSilence ? 40000 : between(1000, 12000);
            add(t_, kReboot);
            add(t_ += silentMs, kPhoneBack);
            if (!longSilence) {
                add(t_ += 4500, kExpectRelinked);
            }
        }
    }

    void userReconnects(const Act& act) {  // mostly the user puts the link back after a while
        chance(70) ? void(add(t_ + between(500, 5000), act, {}, 1)) : void();
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
                            : 0);
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

}  // namespace

Schedule makeSchedule(std::uint64_t seed) {
    return Generator(seed).run();
}

}  // namespace zintor::faultsim

// Seeded random schedules: episodes of the phone, its user, the user at the PC and the world,
// overlapping in virtual time.
#include "Schedule.h"

#include <algorithm>
#include <cstdio>
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

    Schedule run(std::uint64_t seed) {
        Schedule s;
        s.seed = seed;
        Config& c = s.config;
        c.com = r_.pick({3, 3, 3, 0, 1});
        c.autoConnect = r_.chance(85);
        c.playerPath = r_.chance(70);
        c.playlist = r_.pick({0, 1, 3, 12, 50000});
        c.current = c.playlist > 0 ? r_.below(c.playlist) : 0;
        c.player = r_.chance(70) ? 0 : r_.below(3);
        c.mixer = r_.chance(80);
        c.board = r_.chance(60);
        c.speed = r_.pick({0, 1, 5, 5, 10, 50});
        const std::int64_t end = r_.between(20000, 60000);
        t_ = r_.between(0, 1500);
        while (t_ < end) {
            episode();
            t_ += r_.between(10, 1200);
        }
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& x, const Event& y) { return x.atMs < y.atMs; });
        s.endMs = std::max(end, events_.empty() ? 0 : events_.back().atMs + 100);
        s.events = std::move(events_);
        return s;
    }

  private:
    Event& add(std::int64_t at, Act act, std::string text = {}, int a = 0, int b = 0) {
        Event& e = events_.emplace_back();
        e.atMs = at;
        e.act = act;
        e.text = std::move(text);
        e.a = a;
        e.b = b;
        return e;
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
        switch (r_.below(8)) {
            case 0: {  // garbage, NUL bytes included
                std::string junk;
                for (int i = r_.between(1, 64); i > 0; --i) {
                    junk += static_cast<char>(r_.below(256));
                }
                phoneSends(t_, junk + (r_.chance(50) ? "\r\n" : ""));
                break;
            }
            case 1:
                phoneSends(t_, std::string(static_cast<std::size_t>(r_.between(9000, 20000)), 'A') +
                                   (r_.chance(70) ? "\r\n" : ""));
                break;
            case 2: {  // a burst of key lines
                const std::string key = r_.pick({"3", "1", "2", "4", "7", "*", "#", "5", "<"});
                std::string burst;
                for (int i = r_.pick({2, 20, 300}); i > 0; --i) {
                    burst += "+CKEV: " + key + ",1\r\n+CKEV: " + key + ",0\r\n";
                }
                add(t_, Act::PhoneSends, burst);
                break;
            }
            case 3:
                add(t_, Act::Echo, {}, r_.chance(50));
                break;
            case 4:
            case 5:
                add(t_, Act::Rule,
                    r_.pick<std::string>(
                        {"AT", "AT+cgmm", "AT*EASM", "AT*EAID", "AT+CMER", "AT*EAM"}),
                    r_.below(4), r_.between(300, 1500));
                break;
            case 6:
                add(t_, Act::AnswerDelay, {}, r_.pick({0, 20, 20, 200, 450}));
                break;
            default:
                add(t_, Act::ModemLines);
                break;
        }
    }

    void linkEvent() {
        switch (r_.below(5)) {
            case 0:
                add(t_, Act::Ring);
                break;
            case 1:
                add(t_, Act::Break);
                userReconnects(Act::ConnectClick);
                break;
            case 2:
                add(t_, Act::HangUp);
                break;
            default: {  // a reboot: silent a while, then back, in a window of its own
                const bool longSilence = r_.chance(15);
                const int silentMs = longSilence ? 40000 : r_.between(1000, 12000);
                add(t_, Act::Reboot, {}, longSilence ? 0 : 1);
                add(t_ + silentMs, Act::PhoneBack);
                t_ += silentMs;
                if (!longSilence) {
                    add(t_ + 4500, Act::ExpectRelinked);
                    t_ += 4500;
                }
                break;
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
        switch (r_.below(10)) {
            case 0:
            case 1:
                add(t_, Act::ConnectClick);
                userReconnects(Act::ConnectClick);
                break;
            case 2:
                add(t_, Act::AutoConnectClick);
                break;
            case 3:
                add(t_, Act::PortChoice, {}, r_.below(4));
                userReconnects(Act::PortChoice);  // the phone's port, item 1
                break;
            case 4:
                add(t_, Act::Settings, {}, r_.below(4));
                break;
            case 5:
                add(t_, Act::MouseSpeed, {}, r_.pick({0, 3, 50}));
                break;
            case 6:
                add(t_, Act::CloseHelp);
                break;
            case 7:
                add(t_, Act::CloseNotice);
                break;
            default:
                if (r_.chance(20)) {
                    add(t_, Act::Exit);
                }
                break;
        }
    }

    void world() {
        switch (r_.below(5)) {
            case 0:
                add(t_, Act::Player, {}, r_.below(3));
                break;
            case 1: {
                const int size = r_.pick({0, 1, 12, 50000});
                add(t_, Act::Playlist, {}, size, size > 0 ? r_.below(size) : 0);
                break;
            }
            case 2:
                add(t_, Act::Mixer, {}, r_.chance(50));
                break;
            case 3:
                add(t_, Act::Board, {}, r_.chance(50));
                break;
            default:
                add(t_, Act::PortsChange, {}, r_.chance(50));
                break;
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

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text.substr(0, 80)) {
        char hex[8];
        if (c == '\r' || c == '\n') {
            out += c == '\r' ? "\\r" : "\\n";
        } else if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return text.size() > 80 ? out + "...(" + std::to_string(text.size()) + " bytes)" : out;
}

}  // namespace

Schedule MakeSchedule(std::uint64_t seed) {
    return Generator(seed).run(seed);
}

std::string Describe(const Config& c) {
    return "start: stored port " + std::to_string(c.com) + ", AutoConnect " +
           std::to_string(c.autoConnect) + ", player " + (c.playerPath ? "set" : "not set") +
           " and " +
           (c.player == 0   ? "running"
            : c.player == 1 ? "hung"
                            : "closed") +
           " with " + std::to_string(c.playlist) + " entries (current " +
           std::to_string(c.current) + "), mixer " + (c.mixer ? "there" : "gone") + ", board " +
           (c.board ? "there" : "gone") + ", mouse speed " + std::to_string(c.speed);
}

std::string Describe(const Event& e) {
    // By Act; "%s" is the event's text, "%a" and "%b" its numbers.
    static const char* const kWhat[] = {"",
                                        "phone key %s pressed",
                                        "phone key %s released",
                                        "phone rings",
                                        "phone sends a break",
                                        "phone hangs up (device gone)",
                                        "CTS and DSR change",
                                        "phone reboots: silent, its quirks gone",
                                        "phone answers again",
                                        "check: link rebuilt by the supervision",
                                        "phone echo on (1) or off (0): %a",
                                        "",
                                        "phone answers after %a ms",
                                        "user clicks Connect/Disconnect",
                                        "user clicks AutoConnect",
                                        "user chooses port menu item %a",
                                        "",
                                        "mouse speed %a",
                                        "user clicks Exit",
                                        "user closes the key help",
                                        "user closes the key-map notice",
                                        "player running (0), hung (1) or closed (2): %a",
                                        "playlist of %a entries, current %b",
                                        "mixer there (1) or gone (0): %a",
                                        "board there (1) or gone (0): %a",
                                        "COM7 plugged in (1) or unplugged (0): %a"};
    static const char* const kRules[] = {"late", "ERROR", "no answer", "another model"};
    static const char* const kSettings[] = {"player path toggled", "AutoConnect toggled",
                                            "odd application name", "nothing changed"};
    std::string what = kWhat[static_cast<int>(e.act)];
    if (e.act == Act::PhoneSends) {
        what = "phone sends \"" + Escaped(e.text) + "\"";
        for (std::size_t i = 0; i < e.points.size(); ++i) {
            what += (i == 0 ? " cut at " : ",") + std::to_string(e.points[i]);
        }
        what += e.points.empty() ? "" : " (%a ms apart)";
    } else if (e.act == Act::Rule) {
        what =
            "phone answers \"%s...\": " + std::string(kRules[e.a]) + (e.a == 0 ? " (%b ms)" : "");
    } else if (e.act == Act::Settings) {
        what = std::string("settings window closed: ") + kSettings[e.a];
    }
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"%s", e.text},
                                     {"%a", std::to_string(e.a)},
                                     {"%b", std::to_string(e.b)}}) {
        if (const std::size_t at = what.find(key); at != std::string::npos) {
            what.replace(at, 2, value);
        }
    }
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f s  ", static_cast<double>(e.atMs) / 1000.0);
    return time + what;
}

}  // namespace zintor::faultsim

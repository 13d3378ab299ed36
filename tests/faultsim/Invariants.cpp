#include <algorithm>
#include <cstring>
#include <utility>

#include "World.h"
#include "link/Link.h"

namespace zintor::faultsim {
namespace {

constexpr std::int64_t kFlagGraceMs = 300;  // a release is handled within one step
const char* const kGroupKeys[] = {"<>v^", "5", "ud", "0ud", ""};  // keys held for each Group
const char* const kGroupNames[] = {"cursor steps", "key repeats", "mixer steps",
                                   "player volume steps", "key actions"};

bool InGroup(int group, const std::string& key) {
    return key.size() == 1 && std::strchr(kGroupKeys[group], key[0]) != nullptr;
}

template <class Text>  // a text built only when needed is thrown from an if of its own
void Require(bool ok, const Text& what) {
    if (!ok) {
        throw Failure(what);
    }
}

// One line to the phone: one CR LF at its end, no other control character, balanced quotes,
// ISO 8859-1 (no UTF-8 sequence: the sources of the texts hold no "Ã" followed by a symbol).
const char* LineFault(const std::string& line) {
    if (!line.ends_with("\r\n")) {
        return "does not end in CR LF";
    }
    int quotes = 0;
    for (std::size_t i = 0; i + 2 < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto next = static_cast<unsigned char>(line[i + 1]);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            return "holds a control character";
        }
        if (c >= 0xC2 && c <= 0xF4 && next >= 0x80 && next <= 0xBF) {
            return "holds UTF-8";
        }
        quotes += c == '"';
    }
    return quotes % 2 != 0 ? "has unbalanced quotes" : nullptr;
}

}  // namespace

Invariants::Invariants(SimWorld& world, Program& program) : world_(world), program_(program) {
    limitFrom_.fill(-1);
}

std::int64_t Invariants::count(int group) const {
    return group == Mixer ? static_cast<std::int64_t>(world_.mixer.sets().size()) : counts_[group];
}

bool Invariants::held(int group) const {
    return std::any_of(heldKeys_.begin(), heldKeys_.end(),
                       [group](const std::string& key) { return InGroup(group, key); });
}

void Invariants::released(int group) {
    // Presses still waiting in the buffers may each make one step when their turn comes.
    const std::string waiting =
        std::string(program_.state().RxBuffer.text()) + world_.phone.link().buffered();
    std::int64_t pending = 0;
    for (std::size_t at = 0; (at = waiting.find("+CKEV: ", at)) != std::string::npos; ++at) {
        const std::size_t comma = waiting.find(',', at);
        pending += comma != std::string::npos && waiting.compare(comma, 2, ",1") == 0 &&
                   InGroup(group, waiting.substr(at + 7, comma - at - 7));
    }
    limitFrom_[group] = count(group) + pending;
    releasedAt_[group] = world_.loop.now();
}

void Invariants::delivered(std::string_view bytes) {
    std::array<std::int64_t, kGroups> presses{};  // in a burst after the release that ends it
    scan();
    received_.append(bytes);
    for (std::size_t end; (end = received_.find("\r\n")) != std::string::npos;) {
        std::string line = received_.substr(0, end);
        received_.erase(0, end + 2);
        std::erase(line, '\r');
        const std::size_t comma = line.rfind(',');
        if (!line.starts_with("+CKEV: ") || comma == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(7, comma - 7);
        if (line.substr(comma) == ",1") {
            heldKeys_.insert(key);
            limitFrom_[KeyAction] = -1;  // a new press may act again
            for (int g = 0; g < KeyAction; ++g) {
                limitFrom_[g] = InGroup(g, key) ? -1 : limitFrom_[g];
                presses[g] += InGroup(g, key);
            }
        } else if (heldKeys_.erase(key) != 0) {
            for (int g = 0; g < KeyAction; ++g) {
                if (InGroup(g, key) && !held(g)) {
                    released(g);
                }
            }
        }
    }
    for (int g = 0; g < KeyAction; ++g) {
        limitFrom_[g] += limitFrom_[g] >= 0 ? presses[g] : 0;
    }
}

void Invariants::linkEnded() {
    scan();
    heldKeys_.clear();
    endedSinceOpen_ = true;
    for (int g = 0; g < kGroups; ++g) {
        released(g);
    }
}

void Invariants::check() {
    const SimSerialLink& serial = world_.phone.link();
    for (; writesSeen_ < serial.writes().size(); ++writesSeen_) {
        const std::string& line = serial.writes()[writesSeen_].bytes;
        if (const char* fault = LineFault(line)) {
            throw Failure("line to the phone " + std::string(fault) + ": " + line);
        }
    }
    if (serial.isOpen() != portWasOpen_) {
        portWasOpen_ = serial.isOpen();
        if (!portWasOpen_ && !endedSinceOpen_) {
            linkEnded();  // a probe that failed: the port is gone all the same
        }
        endedSinceOpen_ = false;
    }
    scan();
    checkHolds();
    checkState();
    Require(
        !exited_ || (serial.writes().size() == writesAtExit_ && serial.openCount() == opensAtExit_),
        "the phone link was used after the shutdown");
}

void Invariants::scan() {
    const auto& calls = world_.input.timedCalls();
    for (; inputSeen_ < calls.size(); ++inputSeen_) {
        const std::string& call = calls[inputSeen_].text;
        if (call.starts_with("cursor") || call.starts_with("move")) {
            ++counts_[Cursor];
        } else if (call == "press 13") {
            ++counts_[Repeat];
        } else if (call.ends_with(" down")) {  // "left down", "right down"
            ++counts_[KeyAction];
            downOnPc_.insert(call.substr(0, call.size() - 5));
        } else if (call.ends_with(" up")) {
            downOnPc_.erase(call.substr(0, call.size() - 3));
        } else if (call.starts_with("down ")) {
            counts_[KeyAction] += call == "down 17";
            downOnPc_.insert(call.substr(5));
        } else if (call.starts_with("up ")) {
            downOnPc_.erase(call.substr(3));
        }
    }
    const auto& player = world_.player.calls();
    for (; playerSeen_ < player.size(); ++playerSeen_) {  // volume up and down
        counts_[PlayerVolume] +=
            player[playerSeen_] == "command 40058" || player[playerSeen_] == "command 40059";
    }
}

void Invariants::checkHolds() {
    for (int g = 0; g < kGroups; ++g) {
        if (limitFrom_[g] >= 0 && count(g) - limitFrom_[g] > 1) {
            throw Failure(std::to_string(count(g) - limitFrom_[g]) + " " + kGroupNames[g] +
                          " after the key's release or the link's end at " +
                          std::to_string(releasedAt_[g]) + " ms");
        }
    }
    const ProgramState& s = program_.state();
    const bool flags[] = {s.MouseMoving, s.SpecialKeyRepeating, s.VolumeStepping,
                          s.WinampRepeatVolume};
    // Lines still waiting (the rest of a burst) are handled one step each first.
    const bool linesWait = !s.RxBuffer.empty() || !world_.phone.link().buffered().empty();
    for (int g = 0; g < KeyAction; ++g) {
        if (flags[g] && !held(g) && !linesWait &&
            world_.loop.now() > releasedAt_[g] + kFlagGraceMs) {
            throw Failure(std::string("a hold loop for ") + kGroupNames[g] +
                          " outlives its key or its link");
        }
    }
    Require(world_.phone.link().isOpen() || downOnPc_.empty(),
            "the link is gone but the program still holds a key or button down");
}

void Invariants::checkState() {
    const ProgramState& s = program_.state();
    const int maps = static_cast<int>(s.KeyMaps.size());
    const int window = s.WinampPageOffset + s.WinampLastIndex;
    Require(
        s.CurrentKeyMap >= 0 && s.CurrentKeyMap < maps && s.LastKeyMap >= 0 && s.LastKeyMap < maps,
        "key map index out of range");
    Require(s.MouseStep >= 1 && s.MouseSpeed >= 0 && s.MouseSpeed <= 1000 && s.ComPort >= 0 &&
                s.IconFrame >= 101 && s.IconFrame <= 103,
            "cursor, port or tray state out of range");
    Require(!s.ModeFlags[ModeWinampMenu] || (window >= 0 && window <= largestPlaylist_),
            "playlist window out of the playlist");
    Require(std::count(s.ModeFlags.begin(), s.ModeFlags.end(), true) <= 1,
            "more than one mode flag set");
    Require(s.KeyHelpShown == world_.desktop.keyHelpShown() &&
                s.KeyMapNoticeShown == world_.desktop.noticeShown(),
            "the program's idea of the key help or notice window differs from the screen");
}

void Invariants::acting(bool done) {
    acting_ += done ? -1 : 1;
    relinkDue_ = false;
}

void Invariants::rebootStarts() {
    const ProgramState& s = program_.state();
    relinkDue_ = !exiting_ && acting_ == 0 && s.Connected && !s.SupervisionPaused &&
                 world_.phone.link().openPort() == 3 && program_.link().TimerRunning(5) &&
                 heldKeys_.empty() && !s.MouseMoving && !s.SpecialKeyRepeating &&
                 !s.VolumeStepping && !s.WinampRepeatVolume;
    opensAtReboot_ = world_.phone.link().openCount();
}

void Invariants::expectRelinked() {
    if (!std::exchange(relinkDue_, false) || exiting_) {
        return;
    }
    Require(program_.state().Connected && world_.phone.link().openPort() == 3,
            "the phone answers again but the supervision did not rebuild the link");
    const auto& lines = world_.phone.lines();
    // Unless the phone was back before the supervision missed it, the menu is sent again.
    Require(world_.phone.link().openCount() == opensAtReboot_ ||
                std::any_of(lines.begin(), lines.end(),
                            [this](const SimPhone::Line& line) {
                                return line.atMs >= backAt_ &&
                                       line.text.starts_with("AT*EASM=\"Zintor\"");
                            }),
            "the link was rebuilt but the phone did not get the main menu");
}

bool Invariants::exitStarts() {
    if (std::exchange(exiting_, true)) {
        return false;
    }
    connectedAtExit_ = program_.state().Connected;
    writesAtExit_ = world_.phone.link().writes().size();
    flushesAtExit_ = world_.settings.flushCount();
    return true;
}

void Invariants::exitDone() {
    const auto& writes = world_.phone.link().writes();
    auto sent = [&](const std::string& line) {
        return std::any_of(writes.begin() + static_cast<std::ptrdiff_t>(writesAtExit_),
                           writes.end(), [&](const auto& write) { return write.bytes == line; });
    };
    Require(!connectedAtExit_ || (sent("AT+CMER=0,0,0,0,0\r\n") && sent("AT*EAM=\"Zintor\"\r\n")),
            "the shutdown did not switch the phone back");
    Require(world_.settings.flushCount() > flushesAtExit_ && !world_.phone.link().isOpen(),
            "the shutdown did not save the settings or close the port");
    exited_ = true;
    writesAtExit_ = writes.size();
    opensAtExit_ = world_.phone.link().openCount();
    check();
}

void Invariants::finalCheck() {
    check();
    const auto removals = world_.desktop.callsStartingWith("trayRemove").size();
    Require(program_.ShutDown() && removals == 1 && exited_,
            "the shutdown ran " + std::to_string(removals) + " times");
    Require(downOnPc_.empty(), "after the shutdown the program still holds a key or button down");
}

}  // namespace zintor::faultsim

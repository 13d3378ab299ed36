#include "Invariants.h"

#include <algorithm>

#include "app/Program.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor::faultsim {
namespace {

constexpr std::int64_t kFlagGraceMs = 300;  // a release is handled within one step
constexpr int kVolumeUp = 40058, kVolumeDown = 40059;

// The phone keys whose holding may cause each group's output.
bool InGroup(int group, const std::string& key) {
    switch (group) {
        case 0:
            return key == "<" || key == ">" || key == "v" || key == "^";
        case 1:
            return key == "5";
        case 2:
            return key == "u" || key == "d";
        case 3:
            return key == "0" || key == "u" || key == "d";
        default:
            return false;
    }
}

// One line to the phone: one CR LF at its end, no other control character, balanced quotes,
// ISO 8859-1 (no UTF-8 sequence: the sources of the texts hold no "Ã" followed by a symbol).
std::string LineFault(const std::string& line) {
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) {
        return "does not end in CR LF";
    }
    int quotes = 0;
    for (std::size_t i = 0; i + 2 < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto next = static_cast<unsigned char>(line[i + 1]);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            return "holds control character " + std::to_string(c);
        }
        if (c >= 0xC2 && c <= 0xF4 && next >= 0x80 && next <= 0xBF) {
            return "holds UTF-8";
        }
        quotes += c == '"';
    }
    return quotes % 2 != 0 ? "has unbalanced quotes" : "";
}

}  // namespace

Invariants::Invariants(SimWorld& world, Program& program) : world_(world), program_(program) {
    limitFrom_.fill(-1);
}

void Invariants::fail(const std::string& what) const {
    throw Failure(what);
}

std::int64_t Invariants::count(Group group) const {
    return group == Mixer ? static_cast<std::int64_t>(world_.mixer.sets().size()) : counts_[group];
}

bool Invariants::held(Group group) const {
    return std::any_of(heldKeys_.begin(), heldKeys_.end(),
                       [group](const std::string& key) { return InGroup(group, key); });
}

void Invariants::released(Group group) {
    limitFrom_[group] = count(group);
    releasedAt_[group] = world_.loop.now();
}

void Invariants::delivered(std::string_view bytes) {
    // A burst holds presses after the release that ends it: each may make one step.
    std::array<std::int64_t, kGroups> presses{};
    scanOutput();
    received_.append(bytes);
    for (std::size_t end; (end = received_.find("\r\n")) != std::string::npos;) {
        const std::string line = received_.substr(0, end);
        received_.erase(0, end + 2);
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
                if (InGroup(g, key) && !held(static_cast<Group>(g))) {
                    released(static_cast<Group>(g));
                }
            }
        }
    }
    for (int g = 0; g < KeyAction; ++g) {
        limitFrom_[g] += limitFrom_[g] >= 0 ? presses[g] : 0;
    }
}

void Invariants::linkEnded() {
    scanOutput();
    heldKeys_.clear();
    endedSinceOpen_ = true;
    for (int g = 0; g < kGroups; ++g) {
        released(static_cast<Group>(g));
    }
}

void Invariants::playlistSize(int entries) {
    largestPlaylist_ = std::max(largestPlaylist_, entries);
}

void Invariants::check() {
    scanLines();
    const SimSerialLink& serial = world_.phone.link();
    if (serial.isOpen() && !portWasOpen_) {
        portWasOpen_ = true;
        endedSinceOpen_ = false;
    } else if (!serial.isOpen() && portWasOpen_) {
        portWasOpen_ = false;
        if (!endedSinceOpen_) {
            linkEnded();  // a probe that failed: the port is gone all the same
        }
    }
    scanOutput();
    checkHolds();
    checkState();
    if (exited_ &&
        (serial.writes().size() != writesAtExit_ || serial.openCount() != opensAtExit_)) {
        fail("the phone link was used after the shutdown");
    }
}

void Invariants::scanLines() {
    const auto& writes = world_.phone.link().writes();
    for (; writesSeen_ < writes.size(); ++writesSeen_) {
        const std::string fault = LineFault(writes[writesSeen_].bytes);
        if (!fault.empty()) {
            fail("line to the phone " + fault + ": " + writes[writesSeen_].bytes);
        }
    }
}

void Invariants::scanOutput() {
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
    for (; playerSeen_ < player.size(); ++playerSeen_) {
        const std::string& call = player[playerSeen_];
        counts_[PlayerVolume] += call == "command " + std::to_string(kVolumeUp) ||
                                 call == "command " + std::to_string(kVolumeDown);
    }
}

void Invariants::checkHolds() {
    static const char* const kNames[] = {"cursor steps", "key repeats", "mixer steps",
                                         "player volume steps", "key actions"};
    for (int g = 0; g < kGroups; ++g) {
        const auto group = static_cast<Group>(g);
        if (limitFrom_[g] >= 0 && count(group) - limitFrom_[g] > 1) {
            fail(std::to_string(count(group) - limitFrom_[g]) + " " + kNames[g] +
                 " after the key's release or the link's end at " + std::to_string(releasedAt_[g]) +
                 " ms");
        }
    }
    const ProgramState& s = program_.state();
    const bool flags[] = {s.mouseMoving, s.specialKeyRepeating, s.volumeStepping,
                          s.winampRepeatVolume};
    // Lines still waiting (the rest of a burst) are handled one step each first.
    const bool linesWait =
        program_.link().hasUnhandledText() || !world_.phone.link().buffered().empty();
    for (int g = 0; g < KeyAction; ++g) {
        if (flags[g] && !held(static_cast<Group>(g)) && !linesWait &&
            world_.loop.now() > releasedAt_[g] + kFlagGraceMs) {
            fail(std::string("a hold loop for ") + kNames[g] + " outlives its key or its link");
        }
    }
    if (!world_.phone.link().isOpen() && !downOnPc_.empty()) {
        fail("the link is gone but the program still holds " + *downOnPc_.begin() + " down");
    }
}

void Invariants::checkState() {
    const ProgramState& s = program_.state();
    const int maps = static_cast<int>(s.keyMaps.size());
    if (s.currentKeyMap < 0 || s.currentKeyMap >= maps || s.lastKeyMap < 0 ||
        s.lastKeyMap >= maps) {
        fail("key map index out of range: " + std::to_string(s.currentKeyMap));
    }
    if (s.mouseStep < 1 || s.mouseSpeed < 0 || s.mouseSpeed > 1000 || s.comPort < 0 ||
        s.iconFrame < 101 || s.iconFrame > 103) {
        fail("cursor, port or tray state out of range");
    }
    const int window = s.winampPageOffset + s.winampLastIndex;
    if (s.modeFlags[ModeWinampMenu] && (window < 0 || window > largestPlaylist_)) {
        fail("playlist window at entry " + std::to_string(window));
    }
    if (std::count(s.modeFlags.begin(), s.modeFlags.end(), true) > 1) {
        fail("more than one mode flag set");
    }
    if (s.keyHelpShown != world_.desktop.keyHelpShown() ||
        s.keyMapNoticeShown != world_.desktop.noticeShown()) {
        fail("the program's idea of the key help or notice window differs from the screen");
    }
}

void Invariants::rebootStarts() {
    const ProgramState& s = program_.state();
    relinkDue_ = !exiting_ && s.connected && world_.phone.link().openPort() == 3 &&
                 program_.link().timerRunning(TimerSlot::Supervision) && heldKeys_.empty() &&
                 !s.mouseMoving && !s.specialKeyRepeating && !s.volumeStepping &&
                 !s.winampRepeatVolume;
    opensAtReboot_ = world_.phone.link().openCount();
}

void Invariants::phoneBack() {
    backAt_ = world_.loop.now();
}

void Invariants::expectRelinked() {
    if (!relinkDue_ || exiting_) {
        return;
    }
    relinkDue_ = false;
    if (!program_.state().connected || world_.phone.link().openPort() != 3) {
        fail("the phone answers again but the supervision did not rebuild the link");
    }
    if (world_.phone.link().openCount() == opensAtReboot_) {
        return;  // the phone was back before the supervision missed it
    }
    const auto& lines = world_.phone.lines();
    if (std::none_of(lines.begin(), lines.end(), [this](const SimPhone::Line& line) {
            return line.atMs >= backAt_ && line.text.starts_with("AT*EASM=\"Zintor\"");
        })) {
        fail("the link was rebuilt but the phone did not get the main menu");
    }
}

void Invariants::exitStarts() {
    exiting_ = true;
    connectedAtExit_ = program_.state().connected;
    writesAtExit_ = world_.phone.link().writes().size();
    flushesAtExit_ = world_.settings.flushCount();
}

void Invariants::exitDone() {
    const auto& writes = world_.phone.link().writes();
    auto sent = [&](const std::string& line) {
        return std::any_of(writes.begin() + static_cast<std::ptrdiff_t>(writesAtExit_),
                           writes.end(), [&](const auto& write) { return write.bytes == line; });
    };
    if (connectedAtExit_ && !(sent("AT+CMER=0,0,0,0,0\r\n") && sent("AT*EAM=\"Zintor\"\r\n"))) {
        fail("the shutdown did not switch the phone back");
    }
    if (world_.settings.flushCount() <= flushesAtExit_ || world_.phone.link().isOpen()) {
        fail("the shutdown did not save the settings or close the port");
    }
    exited_ = true;
    writesAtExit_ = world_.phone.link().writes().size();
    opensAtExit_ = world_.phone.link().openCount();
    check();
}

void Invariants::finalCheck() {
    check();
    const auto removals = world_.desktop.callsStartingWith("trayRemove").size();
    if (!program_.hasShutDown() || removals != 1 || !exited_) {
        fail("the shutdown ran " + std::to_string(removals) + " times");
    }
    if (!downOnPc_.empty()) {
        fail("after the shutdown the program still holds " + *downOnPc_.begin() + " down");
    }
}

}  // namespace zintor::faultsim

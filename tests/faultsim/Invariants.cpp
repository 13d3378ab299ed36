// What must stay true whatever the phone, the users and the world do.
#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "World.h"
#include "core/control/KeyControl.h"
#include "core/link/Link.h"
#include "core/media/PlaylistMenu.h"

namespace zintor::faultsim {
namespace {

constexpr std::int64_t kFlagGraceMs = 300;  // a release is handled within one step
const char* const kGroupKeys[] = {"<>v^", "5", "ud", "0ud", ""};  // keys held for each Group
const char* const kGroupNames[] = {"cursor steps", "key repeats", "mixer steps",
                                   "player volume steps", "key actions"};

bool inGroup(int group, std::string_view key) {
    return key.size() == 1 && std::strchr(kGroupKeys[group], key[0]) != nullptr;
}

template <class Text>  // texts built at a cost are thrown from an if of their own
void require(bool ok, const Text& what) {
    if (!ok) {
        throw Failure(what);
    }
}

// "+CKEV: <key>,1" or ",0": the key, and whether it is a press; "" for any other line.
std::pair<std::string_view, bool> keyOf(std::string_view line) {
    const std::size_t comma = line.rfind(',');
    return {line.starts_with("+CKEV: ") && comma != line.npos ? line.substr(7, comma - 7) : "",
            line.substr(comma == line.npos ? 0 : comma) == ",1"};
}

}  // namespace

bool World::held(int group) const {
    return std::ranges::any_of(heldKeys_, [group](auto& key) { return inGroup(group, key); });
}

void World::released(int group) {
    // Presses still waiting in the port's buffer or being taken may each make one step in turn.
    std::string waiting = sim.serial().buffered() + std::string(arriving_);
    limitFrom_[group] = counts_[group];
    for (std::size_t end; (end = waiting.find("\r\n")) != std::string::npos;) {
        const auto [key, press] = keyOf(std::string_view(waiting).substr(0, end));
        limitFrom_[group] += inGroup(group, key) && press;
        waiting.erase(0, end + 2);
    }
    releasedAt_[group] = sim.loop.now();
}

void World::taken(std::string_view bytes) {
    scan();
    received_.append(arriving_ = bytes);
    for (std::size_t end; (end = received_.find("\r\n")) != std::string::npos;) {
        std::string line = received_.substr(0, end);
        received_.erase(0, end + 2);
        std::erase(line, '\r');
        const auto [key, press] = keyOf(line);
        if (!key.empty() && press) {
            heldKeys_.emplace(key);
            limitFrom_[KeyAction] = -1;  // a new press may act again
            for (int g = 0; g < KeyAction; ++g) {
                limitFrom_[g] = inGroup(g, key) ? -1 : limitFrom_[g];
            }
        } else if (!key.empty() && heldKeys_.erase(std::string(key)) != 0) {
            for (int g = 0; g < KeyAction; ++g) {
                inGroup(g, key) && !held(g) ? released(g) : void();
            }
        }
    }
    arriving_ = {};
}

void World::linkEnded() {
    scan();
    heldKeys_.clear();
    endedSinceOpen_ = true;
    for (int g = 0; g < kGroups; ++g) {
        released(g);
    }
}

void World::check() {
    if (sim.loop.inAdapterLoop()) {
        return;  // the program is inside a call (a modal window is open)
    }
    require(broken_.empty(), broken_);
    const SimSerialLink& serial = sim.serial();
    if (serial.unheard() > 0) {
        return;  // a hang-up has closed the port, and the program is yet to hear of it
    }
    if (serial.isOpen() != portWasOpen_) {
        portWasOpen_ = serial.isOpen();
        !portWasOpen_ && !endedSinceOpen_ ? linkEnded() : void();  // a failed probe closed it
        endedSinceOpen_ = false;
    }
    scan();
    const ProgramState& s = program->state();
    const bool flags[] = {s.mouseMoving, s.specialKeyRepeating, s.volumeStepping,
                          s.playerRepeatVolume, false};
    // Lines still waiting in the port's buffer are handled first.
    const bool linesWait = !sim.serial().buffered().empty();
    for (int g = 0; g < kGroups; ++g) {
        if (limitFrom_[g] >= 0 && counts_[g] - limitFrom_[g] > 1) {
            throw Failure(std::to_string(counts_[g] - limitFrom_[g]) + " " + kGroupNames[g] +
                          " after the key's release or the link's end at " +
                          std::to_string(releasedAt_[g]) + " ms");
        }
        if (flags[g] && !held(g) && !linesWait && sim.loop.now() > releasedAt_[g] + kFlagGraceMs) {
            throw Failure(std::string("a hold loop for ") + kGroupNames[g] +
                          " outlives its key or its link");
        }
    }
    require(sim.serial().isOpen() || downOnPc_.empty(),
            "the link is gone but the program still holds a key or button down");
    const int maps = static_cast<int>(s.keyMaps.size());
    const int window = program->playlist().shownFrom();
    require(s.currentKeyMap >= 0 && s.currentKeyMap < maps && s.lastKeyMap >= 0 &&
                s.lastKeyMap < maps && program->keys().cursor().pixelsPerStep() >= 1 &&
                s.mouseSpeed >= 0 && s.mouseSpeed <= 1000 && s.comPort >= 0 && s.iconFrame >= 101 &&
                s.iconFrame <= 103,
            "key map, cursor, port or tray state out of range");
    require(s.screen != Screen::kPlayerMenu || (window >= 0 && window <= largestPlaylist_),
            "the playlist window lies outside the playlist");
    const KeyWindows& windows = program->keys().windows();
    require(windows.keyHelpShown() == sim.desktop.keyHelpShown() &&
                windows.noticeShown() == sim.desktop.noticeShown(),
            "the program's idea of the key help or notice window differs from the screen");
    require(
        !exited_ || (serial.writes().size() == writesAtExit_ && serial.openCount() == opensAtExit_),
        "the phone link was used after the shutdown");
}

// Counts what only held keys may cause, and notes what the program holds down on the PC.
void World::scan() {
    const auto& calls = sim.input.timedCalls();
    for (; inputSeen_ < calls.size(); ++inputSeen_) {
        const std::string& call = calls[inputSeen_].text;  // "left down", "down 17", "up 17", ...
        counts_[Cursor] += call.starts_with("cursor") || call.starts_with("move");
        counts_[Repeat] += call == "press 13";
        counts_[KeyAction] += call == "left down" || call == "right down" || call == "down 17";
        const std::size_t down = call.find("down"), up = call.find("up");
        if (down != std::string::npos) {
            downOnPc_.insert(call.substr(0, down) + call.substr(down + 4));
        } else if (up != std::string::npos) {
            downOnPc_.erase(call.substr(0, up) + call.substr(up + 2));
        }
    }
    const auto& player = sim.player.calls();
    for (; playerSeen_ < player.size(); ++playerSeen_) {  // volume up and down
        counts_[PlayerVolume] +=
            player[playerSeen_] == "volume up" || player[playerSeen_] == "volume down";
    }
    counts_[Mixer] = static_cast<std::int64_t>(sim.mixer.sets().size());
}

void World::rebootStarts() {
    const ProgramState& s = program->state();
    // A click of the user's may still be at work (a Disconnect waiting for the phone's goodbye).
    relinkDue_ = !exiting_ && !sim.loop.inAdapterLoop() && sim.serial().unheard() == 0 &&
                 sim.loop.now() - lastActAt_ > 10000 && s.connected && !s.supervisionPaused &&
                 sim.serial().openPort() == 3 &&
                 program->link().timers.running(TimerSlot::kSupervision) && heldKeys_.empty() &&
                 !s.mouseMoving && !s.specialKeyRepeating && !s.volumeStepping &&
                 !s.playerRepeatVolume;
    opensAtReboot_ = sim.serial().openCount();
}

void World::expectRelinked() {
    if (!std::exchange(relinkDue_, false) || exiting_) {
        return;
    }
    require(program->state().connected && sim.serial().openPort() == 3,
            "the phone answers again but the supervision did not rebuild the link");
    const auto& lines = sim.phone.lines();  // unless the phone was back before it was missed:
    require(sim.serial().openCount() == opensAtReboot_ ||
                std::any_of(lines.begin() + phoneBackAt, lines.end(),
                            [](auto& line) { return line.text.starts_with("AT*EASM=\"Zintor\""); }),
            "the link was rebuilt but the phone did not get the main menu");
}

void World::exit() {
    if (!sim.desktop.trayShown()) {
        return;
    }
    if (!std::exchange(exiting_, true)) {  // a second click while the shutdown runs adds nothing
        // The link made up to the registration, and nothing done at the PC for 10 s that may
        // still end it: the phone is told goodbye.
        const auto& writes = sim.serial().writes();
        const auto last = [&](const char* line) {
            const auto it = std::find_if(writes.rbegin(), writes.rend(), [&](auto& write) {
                return write.bytes == line || write.session != sim.serial().openCount();
            });
            return it != writes.rend() && it->bytes == line ? writes.rend() - it : 0;
        };
        const ProgramState& s = program->state();
        connectedAtExit_ = s.connected && !s.supervisionPaused && sim.serial().openPort() == 3 &&
                           last("AT*EAM=\"Zintor\"\r\n") > last("AT+cgmm\r\n") &&
                           sim.loop.now() - lastActAt_ > 10000;
        writesAtExit_ = sim.serial().writes().size();
        flushesAtExit_ = sim.settings.flushCount();
    }
    sim.desktop.listener()->exitClicked();
}

// Runs inside the program's shutdown: a broken rule is thrown by the next check().
void World::shutdownEnded() {
    if (std::exchange(exited_, true)) {
        return;
    }
    const auto require = [this](bool ok, const char* what) {
        broken_ = ok || !broken_.empty() ? broken_ : what;
    };
    require(exiting_, "the program exits without the user's Exit");
    const auto& writes = sim.serial().writes();
    auto sent = [&](const std::string& line) {
        return std::any_of(writes.begin() + static_cast<std::ptrdiff_t>(writesAtExit_),
                           writes.end(), [&](const auto& write) { return write.bytes == line; });
    };
    require(!connectedAtExit_ || (sent("AT+CMER=0,0,0,0,0\r\n") && sent("AT*EAM=\"Zintor\"\r\n")),
            "the shutdown did not switch the phone back");
    require(sim.settings.flushCount() > flushesAtExit_ && !sim.serial().isOpen(),
            "the shutdown did not save the settings or close the port");
    writesAtExit_ = writes.size();
    opensAtExit_ = sim.serial().openCount();
}

void World::finalCheck() {
    check();
    const auto removals = sim.desktop.callsStartingWith("trayRemove").size();
    require(program->hasShutDown() && removals == 1 && exited_, "the shutdown did not run once");
}

// The phone behaves from now on: no quirks, no echo, answers in 20 ms, and lets go of the keys it
// holds. Its user opens the accessory entry, chooses About and closes the pop-up, and starts over
// where an answer does not come within 2 s; within 10 s all three must have come in a row. Where
// the program cannot reach the phone by itself, the user helps as a user would, once: with
// another port chosen, by choosing the phone's port in the tray; with the phone's port, once the
// program has given up (no port opened for 3 s), with the tray's Connect. The 10 s then count
// from that click.
void World::serve() {
    SimEventLoop& loop = sim.loop;
    // The user first closes the window open at the PC (and gets the clicks it held back done),
    // and from now on closes every one at once.
    while (sim.desktop.modalOpen() || deferred_ > 0) {
        loop.runFor(10);
    }
    sim.desktop.setModalTime(0);
    if (exiting_) {
        return;
    }
    SimPhone& phone = sim.phone;
    phone.clearRules(), phone.setEcho(false), phone.setAnswerDelay(20), phone.setSilent(false);
    for (const std::string& key : std::set<std::string>(heldKeys_)) {
        phone.send("+CKEV: " + key + ",0\r\n");
    }
    std::int64_t deadline = loop.now() + 10000, busyAt = loop.now();
    int opens = sim.serial().openCount();
    bool clicked = false;
    // Sends `line`; the program's first line to the phone then that starts with `prefix`.
    const auto answer = [&](const std::string& line, const std::string& prefix) -> std::string {
        const std::size_t from = phone.lines().size();
        phone.send(line + "\r\n");
        for (const std::int64_t end = loop.now() + 2000; loop.now() < std::min(end, deadline);) {
            loop.runFor(10);
            for (std::size_t i = from; i < phone.lines().size(); ++i) {
                if (phone.lines()[i].text.starts_with(prefix)) {
                    return phone.lines()[i].text;
                }
            }
            const ProgramState& s = program->state();
            busyAt =
                sim.serial().openCount() != opens || sim.serial().isOpen() ? loop.now() : busyAt;
            opens = sim.serial().openCount();
            if (!clicked && !s.connected && (s.comPort != 3 || loop.now() - busyAt >= 3000)) {
                clicked = true, deadline = loop.now() + 10000, lastActAt_ = loop.now();
                loop.schedule(loop.now(), [this, port = s.comPort] {
                    DesktopEvents& tray = *sim.desktop.listener();
                    port != 3 ? tray.portChosen(1) : tray.connectClicked();
                });
            }
        }
        return "";
    };
    const std::string mainMenu = "AT*EASM=\"Zintor\",1,";
    for (std::string missing;; missing.clear()) {
        const std::string menu = answer("*EAAI", mainMenu + "1,");
        const std::size_t at = menu.find("\"About\"");  // its number: the items before it
        require(menu.empty() || at != std::string::npos, "no About in the main menu " + menu);
        const auto about = menu.empty() ? 0 : std::ranges::count(menu.substr(0, at), '"') / 2;
        missing = menu.empty() ? "*EAAI got no main menu"
                  : answer("*EAMI: " + std::to_string(about), "AT*EAID=1,2,\"Zintor ").empty()
                      ? "About got no pop-up"
                  : answer("*EAII: 0", mainMenu).empty() ? "closing About got no main menu"
                                                         : "";
        if (missing.empty()) {
            return;
        }
        require(loop.now() < deadline, "the phone behaves again, but " + missing + " within 10 s" +
                                           (clicked ? " of the user's click" : ""));
    }
}

}  // namespace zintor::faultsim

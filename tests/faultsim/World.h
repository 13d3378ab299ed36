#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/program/Program.h"
#include "platform/sim/SimWorld.h"

namespace zintor::faultsim {

using Failure = std::runtime_error;
class World;
struct Event;

// What happens to the program: the phone, its user, the user at the PC or the world (World.cpp).
struct Act {
    const char* what;  // as a replay prints it: "%s" the event's text, "%a" and "%b" its numbers
    void (*apply)(World&, const Event&);
};
extern const Act kPhoneSends, kKeyPress, kKeyRelease, kRing, kBreak, kHangUp, kModemLines, kReboot,
    kPhoneBack, kExpectRelinked, kEcho, kRule, kAnswerDelay, kConnectClick, kAutoConnectClick,
    kPortChoice, kSettings, kMouseSpeed, kExit, kCloseHelp, kCloseNotice, kPlayer, kPlaylist,
    kMixer, kBoard, kPortsChange;

struct Event {
    std::int64_t atMs = 0;
    const Act* act = &kPhoneSends;
    std::string text;
    int a = 0, b = 0;
    std::vector<std::size_t> points;  // where the text is cut
    std::string more;                 // bytes the phone sends with an answer or when it is back
};

// The world when the program starts, and what happens then; the user exits at endMs.
struct Schedule {
    int com = 3;  // stored port; the phone answers on COM3
    bool autoConnect = true, playerPath = true, mixer = true, board = true;
    int playlist = 3, current = 0, player = 0, speed = 5;
    std::vector<Event> events;  // by time
    std::int64_t endMs = 0;
};

std::string describe(const Event& event);

// The program on the simulated world as a schedule sets it up, the events done to it (World.cpp)
// and what must stay true whatever they are (Invariants.cpp): check() runs before every event and
// every 100 ms of virtual time, and throws Failure on a broken rule.
class World {
  public:
    explicit World(const Schedule& schedule);
    void apply(const Event& event);
    void exit();  // the user clicks Exit, if the tray icon is still there to click
    bool exited() const { return exited_; }
    void playlist(int entries, int current);
    void check();
    // The phone behaves from now on and its user wants the main menu and About (Invariants.cpp).
    void serve();
    void finalCheck();
    void rebootStarts();
    void expectRelinked();

    SimPhone& phone() { return sim.phone; }
    SimWorld sim;
    std::unique_ptr<Program> program;
    std::ptrdiff_t phoneBackAt = 0;  // its lines when a rebooted phone answers again

  private:
    enum Group { Cursor, Repeat, Mixer, PlayerVolume, KeyAction, kGroups };  // held keys' output
    void taken(std::string_view bytes);  // every byte the program takes from the port
    void linkEnded();
    void shutdownEnded();  // the program asks to exit: its shutdown has run
    void scan();
    bool held(int group) const;
    void released(int group);

    std::string broken_;              // a rule found broken where nothing may be thrown
    std::set<std::string> heldKeys_;  // pressed on the phone, release not yet at the PC
    std::string received_;            // the PC's bytes, cut into lines as the program does
    std::string_view arriving_;       // the bytes being taken
    std::array<std::int64_t, kGroups> counts_{};
    std::array<std::int64_t, kGroups> limitFrom_{-1, -1, -1, -1, -1};  // count at release; -1: held
    std::array<std::int64_t, kGroups> releasedAt_{};
    std::set<std::string> downOnPc_;  // keys and buttons the program holds down on the PC
    std::size_t inputSeen_ = 0, playerSeen_ = 0, writesAtExit_ = 0;
    int deferred_ = 0;                  // clicks that wait for a modal window to close
    std::int64_t lastActAt_ = -100000;  // the last click at the PC
    int largestPlaylist_ = 0, flushesAtExit_ = 0, opensAtReboot_ = 0, opensAtExit_ = 0;
    bool portWasOpen_ = false, endedSinceOpen_ = false, relinkDue_ = false;
    bool exiting_ = false, exited_ = false, connectedAtExit_ = false;
};

}  // namespace zintor::faultsim

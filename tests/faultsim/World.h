#pragma once

#include <array>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Schedule.h"
#include "app/Program.h"
#include "platform/sim/SimWorld.h"

namespace zintor::faultsim {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What must stay true whatever the phone, the users and the world do. check() runs before every
// event and every 100 ms of virtual time (also deep inside hold loops, which pump the loop) and
// throws Failure on the first broken rule. It sees every byte that reaches the PC's port, so it
// knows which phone keys are held.
class Invariants {
  public:
    Invariants(SimWorld& world, Program& program);

    void check();
    void delivered(std::string_view bytes);
    void linkEnded();
    void playlistSize(int entries) { largestPlaylist_ = std::max(largestPlaylist_, entries); }
    // The user or the world acts (until `done`): no relink is owed for a reboot meanwhile.
    void acting(bool done);
    void rebootStarts();
    void phoneBack() { backAt_ = world_.loop.now(); }
    void expectRelinked();
    bool exitStarts();  // false for a click while the shutdown runs
    void exitDone();
    void finalCheck();

  private:
    // Output that only a held phone key may cause.
    enum Group { Cursor, Repeat, Mixer, PlayerVolume, KeyAction, kGroups };

    std::int64_t count(int group) const;
    bool held(int group) const;
    void released(int group);
    void scan();
    void checkHolds();
    void checkState();

    SimWorld& world_;
    Program& program_;
    std::set<std::string> heldKeys_;  // pressed on the phone, release not yet at the PC
    std::string received_;            // the PC's bytes, cut into lines as the program does
    std::array<std::int64_t, kGroups> counts_{};
    std::array<std::int64_t, kGroups> limitFrom_{};  // count when the group's keys went; -1: held
    std::array<std::int64_t, kGroups> releasedAt_{};
    std::set<std::string> downOnPc_;  // keys and buttons the program holds down on the PC
    std::size_t writesSeen_ = 0, inputSeen_ = 0, playerSeen_ = 0;
    bool portWasOpen_ = false, endedSinceOpen_ = false;
    int largestPlaylist_ = 0, acting_ = 0, opensAtReboot_ = 0, opensAtExit_ = 0, flushesAtExit_ = 0;
    bool relinkDue_ = false, exiting_ = false, exited_ = false, connectedAtExit_ = false;
    std::int64_t backAt_ = 0;
    std::size_t writesAtExit_ = 0;
};

// The whole program on the simulated world, set up as a schedule says, and its events done to it.
class World {
  public:
    static constexpr int kMaxDepth = 60;  // waits nested deeper are a runaway

    explicit World(const Schedule& schedule);
    ~World();

    void apply(const Event& event);
    void exit();  // the user clicks Exit, if the tray icon is still there to click
    void playlist(int entries, int current);

    SimWorld sim;
    std::unique_ptr<Program> program;
    std::unique_ptr<Invariants> invariants;
};

}  // namespace zintor::faultsim

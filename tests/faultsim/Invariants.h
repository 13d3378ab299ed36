#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zintor {
class Program;
struct SimWorld;
}  // namespace zintor

namespace zintor::faultsim {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What must stay true whatever the phone, the users and the world do. check() runs before every
// event of the schedule and every 100 ms of virtual time (also deep inside hold loops, which pump
// the loop); it throws Failure on the first broken rule. The world actions tell it what reached
// the PC, so that it knows which phone keys are held.
class Invariants {
  public:
    Invariants(SimWorld& world, Program& program);

    void check();

    void delivered(std::string_view bytes);  // phone bytes that reached the PC's port
    void linkEnded();                        // the program says its link ended
    void playlistSize(int entries);
    void rebootStarts();
    void phoneBack();
    void expectRelinked();
    void disturbed() { relinkDue_ = false; }  // the user or the phone acted meanwhile
    void exitStarts();
    void exitDone();
    void finalCheck();

  private:
    // Output that only a held phone key may cause, and which keys those are.
    enum Group { Cursor, Repeat, Mixer, PlayerVolume, KeyAction, kGroups };

    [[noreturn]] void fail(const std::string& what) const;
    std::int64_t count(Group group) const;
    bool held(Group group) const;
    void released(Group group);
    void scanLines();
    void scanOutput();
    void checkHolds();
    void checkState();

    SimWorld& world_;
    Program& program_;

    std::set<std::string> heldKeys_;  // pressed on the phone, release not yet at the PC
    std::string received_;            // what reached the PC, cut into lines here too
    std::array<std::int64_t, kGroups> counts_{};
    std::array<std::int64_t, kGroups> limitFrom_{};  // count when the group's keys went; -1: held
    std::array<std::int64_t, kGroups> releasedAt_{};
    std::set<std::string> downOnPc_;  // keys and buttons the program holds down on the PC

    std::size_t writesSeen_ = 0, inputSeen_ = 0, playerSeen_ = 0;
    bool portWasOpen_ = false, endedSinceOpen_ = false;
    int largestPlaylist_ = 0;

    bool relinkDue_ = false;
    int opensAtReboot_ = 0;
    std::int64_t backAt_ = 0;

    bool exiting_ = false, exited_ = false, connectedAtExit_ = false;
    std::size_t writesAtExit_ = 0;
    int flushesAtExit_ = 0, opensAtExit_ = 0;
};

}  // namespace zintor::faultsim

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zintor::faultsim {

class World;
struct Event;

// What happens to the program: the phone, its user, the user at the PC or the world around them.
// Each is defined in World.cpp with what it does.
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
};

// The world when the program starts, and what happens then; the user exits at endMs.
struct Schedule {
    int com = 3;  // stored port; the phone answers on COM3
    bool autoConnect = true, playerPath = true, mixer = true, board = true;
    int playlist = 3, current = 0, player = 0, speed = 5;
    std::vector<Event> events;  // by time
    std::int64_t endMs = 0;
};

Schedule makeSchedule(std::uint64_t seed);
std::string describe(const Event& event);

}  // namespace zintor::faultsim

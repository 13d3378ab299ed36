#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zintor::faultsim {

// What happens to the program at a virtual time: the phone, its user, the user at the PC or the
// world around them. What each does, and what its text and numbers mean, is in World.cpp.
enum class Act {
    PhoneSends,
    KeyPress,
    KeyRelease,
    Ring,
    Break,
    HangUp,
    ModemLines,
    Reboot,
    PhoneBack,
    ExpectRelinked,
    Echo,
    Rule,
    AnswerDelay,
    ConnectClick,
    AutoConnectClick,
    PortChoice,
    Settings,
    MouseSpeed,
    Exit,
    CloseHelp,
    CloseNotice,
    Player,
    Playlist,
    Mixer,
    Board,
    PortsChange,
};

struct Event {
    std::int64_t atMs = 0;
    Act act = Act::PhoneSends;
    std::string text;
    int a = 0;
    int b = 0;
    std::vector<std::size_t> points;  // PhoneSends: where the text is cut
};

// The world when the program starts, and what happens then; the user exits at endMs.
struct Schedule {
    int com = 3;  // stored port; the phone answers on COM3
    bool autoConnect = true, playerPath = true, mixer = true, board = true;
    int playlist = 3, current = 0, player = 0, speed = 5;
    std::vector<Event> events;  // by time
    std::int64_t endMs = 0;
};

Schedule MakeSchedule(std::uint64_t seed);
std::string DescribeStart(const Schedule& schedule);
std::string Describe(const Event& event);  // in World.cpp, beside what the event does

}  // namespace zintor::faultsim

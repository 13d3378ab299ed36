#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zintor::faultsim {

// One thing that happens to the program at a virtual time: the phone, its user, the user at the
// PC or the world around them.
enum class Act {
    PhoneSends,      // text, cut at `points` with `a` ms between the pieces
    KeyPress,        // text = the key's code
    KeyRelease,      //
    Ring,            //
    Break,           //
    HangUp,          //
    ModemLines,      // CTS and DSR change
    Reboot,          // silent; `a` = 1 when the relink is to be checked
    PhoneBack,       // answers again
    ExpectRelinked,  // the supervision must have rebuilt the link by now
    Echo,            // a = on
    Rule,            // commands beginning with `text`: a = 0 late (b ms), 1 ERROR, 2 nothing,
                     // 3 another model; for the next 1..3 such commands
    AnswerDelay,     // a ms for every answer
    ConnectClick,    //
    AutoConnectClick,
    PortChoice,   // a = menu index
    Settings,     // a = what the user changes in the settings window
    MouseSpeed,   // a ms
    Exit,         //
    CloseHelp,    // the user closes the key help window
    CloseNotice,  // ... the key-map notice
    Player,       // a = 0 running, 1 hung, 2 closed
    Playlist,     // a entries, current b
    Mixer,        // a = there
    Board,        // a = opens
    PortsChange,  // a = 1 adds COM7, 0 removes it
};

struct Event {
    std::int64_t atMs = 0;
    Act act = Act::PhoneSends;
    std::string text;
    int a = 0;
    int b = 0;
    std::vector<std::size_t> points;
};

// The world when the program starts.
struct Config {
    int com = 3;  // stored port; the phone answers on COM3
    bool autoConnect = true;
    bool playerPath = true;
    int playlist = 3;
    int current = 0;
    int player = 0;  // as Act::Player
    bool mixer = true;
    bool board = true;
    int speed = 5;
};

struct Schedule {
    std::uint64_t seed = 0;
    Config config;
    std::vector<Event> events;  // by time
    std::int64_t endMs = 0;     // the user exits then
};

Schedule MakeSchedule(std::uint64_t seed);

// Readable lines, as printed for a replay.
std::string Describe(const Config& config);
std::string Describe(const Event& event);

}  // namespace zintor::faultsim

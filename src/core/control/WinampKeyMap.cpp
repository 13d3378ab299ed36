// The fixed key map of the media player's status mode.

#include <array>
#include <string_view>

#include "control/KeyControl.h"
#include "keymap/KeyMapNames.h"

namespace zintor {
namespace {

struct WinampKey {
    int key;
    std::string_view command;
};

constexpr std::array<WinampKey, 7> kWinampKeys{{
    {10, "VOLUME UP"},
    {11, "VOLUME DOWN"},
    {1, "PLAY"},
    {2, "PAUSE"},
    {3, "STOP"},
    {7, "PREV TRACK"},
    {8, "NEXT TRACK"},
}};

}  // namespace

void KeyControl::buildWinampKeyMap() {
    for (const WinampKey& entry : kWinampKeys) {
        KeyCommand command;
        command.type = CommandType::kPlayer;
        command.code = playerCommandCode(entry.command);
        state_.winampKeyMap.keys[static_cast<std::size_t>(entry.key)].commands = {command};
    }
}

}  // namespace zintor

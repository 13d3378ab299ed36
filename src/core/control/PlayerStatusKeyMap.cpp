// The fixed key map of the media player's status mode.

#include <array>
#include <string_view>

#include "core/control/KeyControl.h"
#include "core/keymap/KeyMapNames.h"

namespace zintor {
namespace {

struct StatusKey {
    int key;
    std::string_view command;
};

constexpr std::array<StatusKey, 7> kStatusKeys{{
    {10, "VOLUME UP"},
    {11, "VOLUME DOWN"},
    {1, "PLAY"},
    {2, "PAUSE"},
    {3, "STOP"},
    {7, "PREV TRACK"},
    {8, "NEXT TRACK"},
}};

}  // namespace

void KeyControl::buildPlayerKeyMap() {
    for (const StatusKey& entry : kStatusKeys) {
        KeyCommand command;
        command.type = CommandType::kPlayer;
        command.code = playerCommandCode(entry.command);
        state_.playerKeyMap.keys[static_cast<std::size_t>(entry.key)].commands = {command};
    }
}

}  // namespace zintor

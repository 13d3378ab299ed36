#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zintor {

enum CommandType : std::int32_t {
    CommandKey = 0,
    CommandWait = 1,
    CommandSpecialKey = 2,
    CommandKeyDown = 3,
    CommandKeyUp = 4,
    CommandMouse = 5,
    CommandInput = 6,
    CommandWinamp = 7,
    CommandVolume = 8,
};

struct KeyCommand {
    std::int32_t type = CommandKey;
    std::string text;
    std::int32_t value = 0;
    std::int32_t code = 0;
};

struct KeyEntry {
    std::string name;
    std::string help;
    std::vector<KeyCommand> commands;  // empty = no bounds: the key does nothing
};

constexpr int kKeysPerMap = 26;

struct KeyMap {
    std::string name;
    std::array<KeyEntry, kKeysPerMap> keys;
};

// One output of the USB board: its names on the phone, and whether it is on.
struct USBOutput {
    bool state = false;
    std::string nameOn;
    std::string nameOff;
};

}  // namespace zintor

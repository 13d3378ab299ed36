#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zintor {

// What one command of a key does; the numbers are the key-map file's order of the type names.
enum class CommandType : std::int32_t {
    kKey = 0,
    kWait = 1,
    kSpecialKey = 2,
    kKeyDown = 3,
    kKeyUp = 4,
    kMouse = 5,
    kInput = 6,
    kPlayer = 7,
    kVolume = 8,
};

struct KeyCommand {
    CommandType type = CommandType::kKey;
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

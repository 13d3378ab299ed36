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
    std::int32_t Type = CommandKey;
    std::string Text;
    std::int32_t Value = 0;
    std::int32_t Code = 0;
};

struct KeyEntry {
    std::string Name;
    std::string Help;
    std::vector<KeyCommand> Commands;  // empty = no bounds: the key does nothing
};

constexpr int kKeysPerMap = 26;

struct KeyMap {
    std::string Name;
    std::array<KeyEntry, kKeysPerMap> Keys;
};

struct KeyEvent {
    std::int32_t Key = 99;  // 99 = unknown key
    bool Pressed = false;
};

}  // namespace zintor

#include "core/keymap/KeyMapNames.h"

#include <array>
#include <utility>

namespace zintor {
namespace {

struct NameCode {
    std::string_view name;
    std::int32_t code;
};

constexpr std::array kSpecialKeys{
    NameCode{"RETURN", 13},     NameCode{"SHIFT", 16},     NameCode{"CONTROL", 17},
    NameCode{"MENU", 18},       NameCode{"START", 91},     NameCode{"PAUSE", 19},
    NameCode{"CAPITAL", 20},    NameCode{"ESCAPE", 27},    NameCode{"SPACE", 32},
    NameCode{"PRIOR", 33},      NameCode{"NEXT", 34},      NameCode{"END", 35},
    NameCode{"HOME", 36},       NameCode{"LEFT", 37},      NameCode{"UP", 38},
    NameCode{"RIGHT", 39},      NameCode{"DOWN", 40},      NameCode{"SELECT", 41},
    NameCode{"PRINT", 42},      NameCode{"EXECUTE", 43},   NameCode{"SNAPSHOT", 44},
    NameCode{"INSERT", 45},     NameCode{"DELETE", 46},    NameCode{"TAB", 9},
    NameCode{"SEPARATOR", 108}, NameCode{"SUBTRACT", 109}, NameCode{"COMMA", 188},
    NameCode{"PERIOD", 190},    NameCode{"DECIMAL", 110},  NameCode{"DIVIDE", 111},
    NameCode{"F1", 112},        NameCode{"F2", 113},       NameCode{"F3", 114},
    NameCode{"F4", 115},        NameCode{"F5", 116},       NameCode{"F6", 117},
    NameCode{"F7", 118},        NameCode{"F8", 119},       NameCode{"F9", 120},
    NameCode{"F10", 121},       NameCode{"F11", 122},      NameCode{"F12", 123},
    NameCode{"NUMLOCK", 144},   NameCode{"BACKSPACE", 8},
};

constexpr std::array kMouseCommands{
    NameCode{"LEFT", 0},
    NameCode{"RIGHT", 1},
    NameCode{"LEFT HOLD", 2},
};

constexpr std::array kVolumeCommands{
    NameCode{"MASTER UP", 0},   NameCode{"MASTER DOWN", 1},   NameCode{"LINEIN UP", 2},
    NameCode{"LINEIN DOWN", 3}, NameCode{"MICROPHONE UP", 4}, NameCode{"MICROPHONE DOWN", 5},
    NameCode{"SYNTH UP", 6},    NameCode{"SYNTH DOWN", 7},    NameCode{"CD UP", 8},
    NameCode{"CD DOWN", 9},     NameCode{"WAVE UP", 10},      NameCode{"WAVE DOWN", 11},
    NameCode{"AUX UP", 12},     NameCode{"AUX DOWN", 13},
};

constexpr std::array kPlayerCommands{
    NameCode{"VOLUME UP", 0},  NameCode{"VOLUME DOWN", 1}, NameCode{"START", 2},
    NameCode{"PLAY", 3},       NameCode{"PAUSE", 4},       NameCode{"STOP", 5},
    NameCode{"PREV TRACK", 6}, NameCode{"NEXT TRACK", 7},  NameCode{"TIME", 8},
    NameCode{"CLOSE", 9},
};

constexpr std::array kCommandTypes{
    NameCode{"KEY", 0},      NameCode{"WAIT", 1},   NameCode{"SPECIAL KEY", 2},
    NameCode{"KEY DOWN", 3}, NameCode{"KEY UP", 4}, NameCode{"MOUSE", 5},
    NameCode{"INPUT", 6},    NameCode{"WINAMP", 7}, NameCode{"VOLUME", 8},
};

constexpr std::array kKeyElements{
    NameCode{"KEY_0", 0},          NameCode{"KEY_1", 1},
    NameCode{"KEY_2", 2},          NameCode{"KEY_3", 3},
    NameCode{"KEY_4", 4},          NameCode{"KEY_5", 5},
    NameCode{"KEY_6", 6},          NameCode{"KEY_7", 7},
    NameCode{"KEY_8", 8},          NameCode{"KEY_9", 9},
    NameCode{"KEY_VOLUME_UP", 10}, NameCode{"KEY_VOLUME_DOWN", 11},
    NameCode{"KEY_CLEAR", 12},     NameCode{"KEY_WAP", 15},
    NameCode{"KEY_CAMERA", 16},    NameCode{"KEY_LEFT_SOFTKEY", 22},
};

template <std::size_t N>
std::optional<std::int32_t> find(const std::array<NameCode, N>& table, std::string_view name) {
    for (const NameCode& entry : table) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    return std::nullopt;
}

template <std::size_t N>
std::string_view nameOf(const std::array<NameCode, N>& table, std::int32_t code) {
    for (const NameCode& entry : table) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return {};
}

}  // namespace

std::int32_t specialKeyCode(std::string_view name) {
    return find(kSpecialKeys, name).value_or(0);
}

std::int32_t mouseCommandCode(std::string_view name) {
    return find(kMouseCommands, name).value_or(0);
}

std::int32_t volumeCommandCode(std::string_view name) {
    return find(kVolumeCommands, name).value_or(0);
}

std::int32_t playerCommandCode(std::string_view name) {
    return find(kPlayerCommands, name).value_or(0);
}

std::optional<CommandType> commandTypeFromName(std::string_view name) {
    if (auto code = find(kCommandTypes, name)) {
        return static_cast<CommandType>(*code);
    }
    return std::nullopt;
}

std::string_view commandTypeName(CommandType type) {
    return nameOf(kCommandTypes, static_cast<std::int32_t>(type));
}
std::string_view specialKeyName(std::int32_t code) {
    return nameOf(kSpecialKeys, code);
}
std::string_view mouseCommandName(std::int32_t code) {
    return nameOf(kMouseCommands, code);
}
std::string_view volumeCommandName(std::int32_t code) {
    return nameOf(kVolumeCommands, code);
}
std::string_view playerCommandName(std::int32_t code) {
    return nameOf(kPlayerCommands, code);
}

std::optional<std::int16_t> keyNumberFromElement(std::string_view element) {
    if (auto key = find(kKeyElements, element)) {
        return static_cast<std::int16_t>(*key);
    }
    return std::nullopt;
}

std::string_view keyElementName(std::int32_t key) {
    return nameOf(kKeyElements, key);
}

}  // namespace zintor

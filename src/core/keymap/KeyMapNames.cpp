#include "keymap/KeyMapNames.h"

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

constexpr std::array kWinampCommands{
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
std::optional<std::int32_t> Find(const std::array<NameCode, N>& table, std::string_view name) {
    for (const NameCode& entry : table) {
        if (entry.name == name) {
            return entry.code;
        }
    }
    return std::nullopt;
}

template <std::size_t N>
std::string_view NameOf(const std::array<NameCode, N>& table, std::int32_t code) {
    for (const NameCode& entry : table) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return {};
}

}  // namespace

std::int32_t SpecialKeyCode(std::string_view name) {
    return Find(kSpecialKeys, name).value_or(0);
}

std::int32_t MouseCommandCode(std::string_view name) {
    return Find(kMouseCommands, name).value_or(0);
}

std::int32_t VolumeCommandCode(std::string_view name) {
    return Find(kVolumeCommands, name).value_or(0);
}

std::int32_t WinampCommandCode(std::string_view name) {
    return Find(kWinampCommands, name).value_or(0);
}

std::optional<std::int32_t> CommandTypeFromName(std::string_view name) {
    return Find(kCommandTypes, name);
}

std::string_view CommandTypeName(std::int32_t type) {
    return NameOf(kCommandTypes, type);
}
std::string_view SpecialKeyName(std::int32_t code) {
    return NameOf(kSpecialKeys, code);
}
std::string_view MouseCommandName(std::int32_t code) {
    return NameOf(kMouseCommands, code);
}
std::string_view VolumeCommandName(std::int32_t code) {
    return NameOf(kVolumeCommands, code);
}
std::string_view WinampCommandName(std::int32_t code) {
    return NameOf(kWinampCommands, code);
}

std::optional<std::int16_t> KeyNumberFromElement(std::string_view element) {
    if (auto key = Find(kKeyElements, element)) {
        return static_cast<std::int16_t>(*key);
    }
    return std::nullopt;
}

std::string_view KeyElementName(std::int32_t key) {
    return NameOf(kKeyElements, key);
}

}  // namespace zintor

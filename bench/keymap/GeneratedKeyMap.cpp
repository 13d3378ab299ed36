#include "GeneratedKeyMap.h"

#include <array>
#include <random>
#include <string_view>

namespace zintor {
namespace {

constexpr std::array<std::string_view, 16> kKeys{
    "KEY_0",     "KEY_1",   "KEY_2",      "KEY_3",           "KEY_4",         "KEY_5",
    "KEY_6",     "KEY_7",   "KEY_8",      "KEY_9",           "KEY_VOLUME_UP", "KEY_VOLUME_DOWN",
    "KEY_CLEAR", "KEY_WAP", "KEY_CAMERA", "KEY_LEFT_SOFTKEY"};

struct Sample {
    std::string_view type;
    std::string_view command;
};

constexpr std::array kCommands{
    Sample{"KEY", "hello world 42"},
    Sample{"WAIT", "250"},
    Sample{"SPECIAL KEY", "RETURN"},
    Sample{"SPECIAL KEY", "F5"},
    Sample{"KEY DOWN", "CONTROL"},
    Sample{"KEY UP", "CONTROL"},
    Sample{"MOUSE", "LEFT"},
    Sample{"MOUSE", "LEFT HOLD"},
    Sample{"INPUT", ""},
    Sample{"WINAMP", "NEXT TRACK"},
    Sample{"VOLUME", "MASTER UP"},
    Sample{"SPECIAL KEY", "BACKSPACE"},
};

}  // namespace

std::string generateKeyMapText(std::size_t bytes, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    std::string out;
    out.reserve(bytes + 4096);
    out +=
        "<!-- Generated key maps for measuring the loader.\n"
        "     Each KEYMAP below has a name, keys with help texts and commands. -->\n"
        "<Zintor_KeyMap>\n";
    const std::string usb =
        "  <Zintor_USB>\n"
        "    <USB_DIGITAL_OUT_1><NAME_ON>Lamp on</NAME_ON><NAME_OFF>Lamp off</NAME_OFF>"
        "</USB_DIGITAL_OUT_1>\n"
        "  </Zintor_USB>\n"
        "</Zintor_KeyMap>\n";
    for (std::size_t map = 0; out.size() + usb.size() < bytes; ++map) {
        out += "  <!-- key map " + std::to_string(map) + " -->\n";
        out += "  <KEYMAP>\n    <KEYMAP_NAME>Map " + std::to_string(map) + "</KEYMAP_NAME>\n";
        const std::size_t keys = 10 + pick(7);
        for (std::size_t k = 0; k < keys && out.size() + usb.size() < bytes; ++k) {
            const std::string_view key = kKeys[(map + k) % kKeys.size()];
            out += "    <";
            out += key;
            out += ">\n      <HELP>Does thing " + std::to_string(k) + "</HELP>\n";
            const std::size_t commands = 1 + pick(4);
            for (std::size_t c = 0; c < commands; ++c) {
                const Sample& s = kCommands[pick(kCommands.size())];
                out += "      <COMMAND_ID>" + std::to_string(c + 1) + "</COMMAND_ID>\n";
                out += "        <COMMAND_TYPE>";
                out += s.type;
                out += "</COMMAND_TYPE>\n        <COMMAND>";
                out += s.command;
                out += "</COMMAND>\n";
            }
            out += "    </";
            out += key;
            out += ">\n";
        }
        out += "  </KEYMAP>\n";
    }
    out += usb;
    return out;
}

std::size_t generatedKeyMapCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("<KEYMAP>"); at != std::string::npos;
         at = text.find("<KEYMAP>", at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace zintor

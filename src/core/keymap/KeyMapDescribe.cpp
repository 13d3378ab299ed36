#include "keymap/KeyMapDescribe.h"

#include "keymap/KeyMapNames.h"
#include "keymap/TextPosition.h"

namespace zintor {
namespace {

std::string Quoted(std::string_view text) {
    return Join({"\"", Excerpt(text, 60), "\""});
}

std::string_view KeyDisplayName(int key) {
    switch (key) {
        case 10:
            return "Volume Up";
        case 11:
            return "Volume Down";
        case 12:
            return "Clear";
        case 15:
            return "WAP";
        case 16:
            return "Camera";
        case 22:
            return "Left soft key";
        default:
            return "";
    }
}

std::string Named(std::string_view type, std::string_view name, std::string_view unknown) {
    if (name.empty()) {
        return Join({type, " ", unknown});
    }
    return Join({type, " ", name});
}

}  // namespace

std::string DescribeCommand(const KeyCommand& c) {
    switch (c.Type) {
        case CommandKey:
            return Join({"KEY ", Quoted(c.Text)});
        case CommandWait:
            return Join({"WAIT ", std::to_string(c.Value), " ms"});
        case CommandSpecialKey:
        case CommandKeyDown:
        case CommandKeyUp:
            return Named(CommandTypeName(c.Type), SpecialKeyName(c.Code), "(unknown name: no key)");
        case CommandMouse:
            return Named("MOUSE", MouseCommandName(c.Code), "(unknown)");
        case CommandInput:
            return "INPUT (text typed from the phone)";
        case CommandWinamp:
            return Named("WINAMP", WinampCommandName(c.Code), "(unknown)");
        case CommandVolume:
            return Named("VOLUME", VolumeCommandName(c.Code), "(unknown)");
        default:
            return Join({"type ", std::to_string(c.Type), " (does nothing)"});
    }
}

std::string DescribeKeyMaps(const std::vector<KeyMap>& keyMaps,
                            const std::array<USBOutput, 8>& outputs) {
    std::string out;
    for (std::size_t m = 0; m < keyMaps.size(); ++m) {
        const KeyMap& map = keyMaps[m];
        out += Join({"Key map ", std::to_string(m + 1), ": ", Quoted(map.Name), "\n"});
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& key = map.Keys[k];
            if (key.Commands.empty() && key.Help.empty() && key.Name.empty()) {
                continue;
            }
            const std::string_view display = KeyDisplayName(k);
            out += Join({"  ", display.empty() ? Join({"Key ", std::to_string(k)}) : display, " (",
                         KeyElementName(k), "): ", Quoted(key.Help)});
            if (!key.Name.empty()) {
                out += Join({", name ", Quoted(key.Name)});
            }
            if (key.Commands.empty()) {
                out += ", no commands";
            }
            out += "\n";
            for (std::size_t c = 0; c < key.Commands.size(); ++c) {
                out += Join(
                    {"    ", std::to_string(c + 1), ". ", DescribeCommand(key.Commands[c]), "\n"});
            }
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!outputs[i].NameOn.empty() || !outputs[i].NameOff.empty()) {
            out += Join({"USB output ", std::to_string(i + 1), ": on ", Quoted(outputs[i].NameOn),
                         ", off ", Quoted(outputs[i].NameOff), "\n"});
        }
    }
    return out;
}

}  // namespace zintor

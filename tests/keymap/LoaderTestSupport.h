#pragma once

#include <array>
#include <string>
#include <vector>

#include "keymap/KeyMapLoader.h"
#include "shared/ProgramState.h"

namespace zintor::testing {

struct Loaded {
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    KeyMapLoadResult result;
    std::vector<KeyMapNote> notes;
};

inline Loaded load(const std::string& text, KeyMapLoadOptions options = {}) {
    Loaded l;
    options.notes = &l.notes;
    l.result = loadKeyMaps(text, l.maps, l.outputs, options);
    return l;
}

// A command as `TYPE code`, then ` value N` and ` "text"` when they are set.
inline std::string shown(const KeyCommand& c) {
    static const char* const kTypes[] = {"KEY",   "WAIT",  "SPECIAL KEY", "KEY DOWN", "KEY UP",
                                         "MOUSE", "INPUT", "WINAMP",      "VOLUME"};
    std::string s = c.type >= 0 && c.type < 9 ? kTypes[c.type] : "type " + std::to_string(c.type);
    s += " " + std::to_string(c.code);
    s += c.value != 0 ? " value " + std::to_string(c.value) : "";
    return s + (c.text.empty() ? "" : " \"" + c.text + "\"");
}

inline std::vector<std::string> commands(const Loaded& l, int map, int key) {
    std::vector<std::string> out;
    for (const KeyCommand& c : l.maps.at(map).keys.at(key).commands) {
        out.push_back(shown(c));
    }
    return out;
}

// Every field of the key maps and USB outputs, one line per key map and per output, to compare
// two loads whole.
inline std::vector<std::string> everything(const std::vector<KeyMap>& maps,
                                           const std::array<USBOutput, 8>& outputs) {
    std::vector<std::string> out;
    for (const KeyMap& map : maps) {
        std::string line = map.name;
        for (const KeyEntry& key : map.keys) {
            line += " | " + key.name + " / " + key.help;
            for (const KeyCommand& c : key.commands) {
                line += " / " + shown(c);
            }
        }
        out.push_back(line);
    }
    for (const USBOutput& o : outputs) {
        out.push_back(o.nameOn + " | " + o.nameOff + (o.state ? " | on" : ""));
    }
    return out;
}

}  // namespace zintor::testing

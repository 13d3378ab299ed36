#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/ProgramState.h"
#include "keymap/KeyMapLoader.h"

namespace zintor::testing {

struct Loaded {
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    KeyMapLoadResult result;
    std::vector<KeyMapNote> notes;
};

inline Loaded Load(const std::string& text, KeyMapLoadOptions options = {}) {
    Loaded l;
    options.notes = &l.notes;
    l.result = LoadKeyMaps(text, l.maps, l.outputs, options);
    return l;
}

inline const std::vector<KeyCommand>& Commands(const Loaded& l, int map, int key) {
    return l.maps.at(map).Keys.at(key).Commands;
}

}  // namespace zintor::testing

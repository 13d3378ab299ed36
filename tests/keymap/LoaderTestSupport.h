#pragma once

#include <array>
#include <functional>
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
    l.result = loadKeyMaps(text, l.maps, l.outputs, options);
    return l;
}

// A command as `TYPE code`, then ` value N` and ` "text"` when they are set.
inline std::string Shown(const KeyCommand& c) {
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
        out.push_back(Shown(c));
    }
    return out;
}

// Every field of the key maps and USB outputs, one line per key map and per output, to compare
// two loads whole.
inline std::vector<std::string> Everything(const std::vector<KeyMap>& maps,
                                           const std::array<USBOutput, 8>& outputs) {
    std::vector<std::string> out;
    for (const KeyMap& map : maps) {
        std::string line = map.name;
        for (const KeyEntry& key : map.keys) {
            line += " | " + key.name + " / " + key.help;
            for (const KeyCommand& c : key.commands) {
                line += " / " + Shown(c);
            }
        }
        out.push_back(line);
    }
    for (const USBOutput& o : outputs) {
        out.push_back(o.nameOn + " | " + o.nameOff + (o.state ? " | on" : ""));
    }
    return out;
}

// Runs `onPump` for every turn of the loop the loader asks for.
class PumpRecorder : public EventLoop {
  public:
    std::function<void()> onPump = [] {};
    std::int64_t now() const override { return 0; }
    void pumpOnce() override { onPump(); }
    void waitFor(const std::function<bool()>&) override {}
    void waitUntil(std::int64_t) override {}
    TimerId startTimer(int, std::function<void()>) override { return 0; }
    void stopTimer(TimerId) override {}
    void post(std::function<void()>) override {}
};

}  // namespace zintor::testing

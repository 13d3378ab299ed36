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
    l.result = LoadKeyMaps(text, l.maps, l.outputs, options);
    return l;
}

// A command as `TYPE code`, then ` value N` and ` "text"` when they are set.
inline std::string Shown(const KeyCommand& c) {
    static const char* const kTypes[] = {"KEY",   "WAIT",  "SPECIAL KEY", "KEY DOWN", "KEY UP",
                                         "MOUSE", "INPUT", "WINAMP",      "VOLUME"};
    std::string s = c.Type >= 0 && c.Type < 9 ? kTypes[c.Type] : "type " + std::to_string(c.Type);
    s += " " + std::to_string(c.Code);
    s += c.Value != 0 ? " value " + std::to_string(c.Value) : "";
    return s + (c.Text.empty() ? "" : " \"" + c.Text + "\"");
}

inline std::vector<std::string> Commands(const Loaded& l, int map, int key) {
    std::vector<std::string> out;
    for (const KeyCommand& c : l.maps.at(map).Keys.at(key).Commands) {
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
        std::string line = map.Name;
        for (const KeyEntry& key : map.Keys) {
            line += " | " + key.Name + " / " + key.Help;
            for (const KeyCommand& c : key.Commands) {
                line += " / " + Shown(c);
            }
        }
        out.push_back(line);
    }
    for (const USBOutput& o : outputs) {
        out.push_back(o.NameOn + " | " + o.NameOff + (o.State ? " | on" : ""));
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

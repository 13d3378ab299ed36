#include "core/control/KeyHelpContent.h"

#include "core/control/ControlTexts.h"
#include "core/link/transport/PhoneKeys.h"

namespace zintor {
namespace {

std::string currentName(const ProgramState& state) {
    const KeyMap* map = currentKeyMapOf(state);
    return map != nullptr ? map->name : std::string();
}

// The key help's text for key `key` (display name `name`).
std::string functionOf(const KeyMap* map, std::size_t key, const std::string& name) {
    if (name == "*") {
        return control_texts::kHelpForStar;
    }
    if (name == "#") {
        return control_texts::kHelpForHash;
    }
    if (name == "Back") {
        return control_texts::kHelpForBack;
    }
    return map != nullptr && !name.empty() ? map->keys[key].help : std::string();
}

}  // namespace

const KeyMap* currentKeyMapOf(const ProgramState& state) {
    const int index = state.currentKeyMap;
    if (index < 0 || static_cast<std::size_t>(index) >= state.keyMaps.size()) {
        return nullptr;
    }
    return &state.keyMaps[static_cast<std::size_t>(index)];
}

std::string keyHelpCaption(const ProgramState& state) {
    return control_texts::kKeyHelpCaption + currentName(state);
}

std::vector<KeyHelpRow> keyHelpRows(const ProgramState& state) {
    const KeyMap* map = currentKeyMapOf(state);
    std::vector<KeyHelpRow> rows;
    for (std::size_t key = 0; key < state.keyNames.size(); ++key) {
        const std::string& name = state.keyNames[key];
        if (name.empty()) {
            continue;
        }
        rows.push_back(KeyHelpRow{name, functionOf(map, key, name)});
    }
    return rows;
}

std::vector<KeyFunction> keyFunctions(const ProgramState& state) {
    const KeyMap* map = currentKeyMapOf(state);
    std::vector<KeyFunction> keys;
    for (std::size_t key = 0; key < state.keyNames.size(); ++key) {
        const std::string_view code = phoneCodeOf(static_cast<int>(key));
        if (!code.empty()) {
            keys.push_back(
                KeyFunction{std::string(code), functionOf(map, key, state.keyNames[key])});
        }
    }
    return keys;
}

std::string noticeText(const ProgramState& state) {
    return std::string(control_texts::kNoticeText) + "\r\n" + currentName(state);
}

}  // namespace zintor

#include "control/KeyHelpContent.h"

#include "control/ControlTexts.h"

namespace zintor {
namespace {

std::string currentName(const ProgramState& state) {
    const KeyMap* map = currentKeyMapOf(state);
    return map != nullptr ? map->name : std::string();
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
        KeyHelpRow row;
        row.key = name;
        if (name == "*") {
            row.function = control_texts::kHelpForStar;
        } else if (name == "#") {
            row.function = control_texts::kHelpForHash;
        } else if (name == "Back") {
            row.function = control_texts::kHelpForBack;
        } else if (map != nullptr) {
            row.function = map->keys[key].help;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string noticeText(const ProgramState& state) {
    return std::string(control_texts::kNoticeText) + "\r\n" + currentName(state);
}

}  // namespace zintor

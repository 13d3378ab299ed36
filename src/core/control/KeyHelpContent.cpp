#include "control/KeyHelpContent.h"

#include "control/ControlTexts.h"

namespace zintor {
namespace {

std::string CurrentName(const ProgramState& state) {
    const KeyMap* map = CurrentKeyMapOf(state);
    return map != nullptr ? map->Name : std::string();
}

}  // namespace

const KeyMap* CurrentKeyMapOf(const ProgramState& state) {
    const int index = state.CurrentKeyMap;
    if (index < 0 || static_cast<std::size_t>(index) >= state.KeyMaps.size()) {
        return nullptr;
    }
    return &state.KeyMaps[static_cast<std::size_t>(index)];
}

std::string KeyHelpCaption(const ProgramState& state) {
    return control_texts::kKeyHelpCaption + CurrentName(state);
}

std::vector<KeyHelpRow> KeyHelpRows(const ProgramState& state) {
    const KeyMap* map = CurrentKeyMapOf(state);
    std::vector<KeyHelpRow> rows;
    for (std::size_t key = 0; key < state.KeyNames.size(); ++key) {
        const std::string& name = state.KeyNames[key];
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
            row.function = map->Keys[key].Help;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string NoticeText(const ProgramState& state) {
    return std::string(control_texts::kNoticeText) + "\r\n" + CurrentName(state);
}

}  // namespace zintor

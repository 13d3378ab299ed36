#include "core/program/KeyNames.h"

namespace zintor {

void fillKeyNames(ProgramState& state) {
    static constexpr const char* kNames[24] = {
        "Key 0", "Key 1", "Key 2", "Key 3", "Key 4",     "Key 5",
        "Key 6", "Key 7", "Key 8", "Key 9", "Volume Up", "Volume Down",
        "Clear", "*",     "#",     "WAP",   "Camera",    "Back",
        "",      "",      "",      "",      "Left",      "Right",
    };
    static_assert(sizeof(kNames) / sizeof(kNames[0]) ==
                  std::tuple_size_v<decltype(state.keyNames)>);
    for (std::size_t i = 0; i < state.keyNames.size(); ++i) {
        state.keyNames[i] = kNames[i];
    }
}

}  // namespace zintor

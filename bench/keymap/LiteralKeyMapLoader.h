#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/keymap/KeyMapLoader.h"
#include "core/shared/ProgramState.h"

namespace zintor::literal {

// The key-map reader written the way it was first described: the text is one string that every
// operation rebuilds from the front, so a load costs (text length x number of tags). It is kept
// to measure the real loader against and, in tests, as an independent oracle for it. Each
// character of the text carries its offset in the original, rebuilt the same way, so errors
// can be compared by position.

struct Text {
    std::string chars;
    std::vector<std::size_t> origin;  // offset in the original text of each character
};

struct Failure {
    KeyMapLoadError::Kind kind;
    std::size_t offset;  // in the original text
};

void stripComments(Text& text);

// Loads like loadKeyMaps. Without `trackPositions` the offsets of failures are meaningless (the
// text is then rebuilt alone, as the original algorithm did).
std::optional<Failure> loadKeyMaps(const std::string& original, std::vector<KeyMap>& keyMaps,
                                   std::array<USBOutput, 8>& outputs, bool trackPositions = true);

}  // namespace zintor::literal

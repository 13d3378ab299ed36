#pragma once

#include <string>
#include <vector>

#include "core/ports/Desktop.h"
#include "core/ports/PhoneExtras.h"
#include "core/shared/ProgramState.h"

namespace zintor {

// What the key help window and the key-map notice show for the current key map. A current key
// map that does not exist reads as one without a name and without help texts.

// "Zintor Key Help   -   " and the current key map's name.
std::string keyHelpCaption(const ProgramState& state);

// One row per key 0..23 that has a display name (the direction keys have none and leave no gap).
std::vector<KeyHelpRow> keyHelpRows(const ProgramState& state);

// What every key the phone reports does in the current key map, by its phone code, as the key
// help names it (the direction keys, which move the cursor, with no text).
std::vector<KeyFunction> keyFunctions(const ProgramState& state);

// "Changed Key Map to", CR LF, the current key map's name.
std::string noticeText(const ProgramState& state);

// The current key map, or nullptr when currentKeyMap names none.
const KeyMap* currentKeyMapOf(const ProgramState& state);

}  // namespace zintor

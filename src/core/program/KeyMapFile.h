#pragma once

#include <optional>
#include <string>

#include "core/keymap/KeyMapLoader.h"
#include "core/shared/Ports.h"
#include "core/shared/ProgramState.h"

namespace zintor {

struct Link;

inline constexpr const char* kKeyMapFileName = "KeyMap.xml";
inline constexpr const char* kKeyMapNoticeTitle = "Zintor key map";

// Where the key maps come from: the user's own KeyMap.xml in the configuration folder when it
// exists (a user cannot edit the files of an installed program), otherwise the one beside the
// program (as in the build tree), otherwise the one installed in the data folder. When there is
// none, the last place looked at.
std::string keyMapFilePath(Files& files);

struct KeyMapFileOutcome {
    std::string path;                    // the file read (or looked for last)
    std::optional<std::string> problem;  // the message for the user, when there is one
};

// Reads and loads the key-map file into state.keyMaps and state.usbOutputs. A missing or
// unreadable file, or a load error, gives a problem text such as
// "/home/ann/.config/Zintor/KeyMap.xml:41:5: COMMAND_TYPE before any COMMAND_ID for key KEY_3".
// What loaded before an error is kept.
KeyMapFileOutcome loadKeyMapFile(ProgramState& state, Files& files);

// Start-up's reading of the key maps: loadKeyMapFile, and any problem goes to the log, to the
// desktop as a notice and to the diagnostic output (which works with the log switched off).
// The program then runs with whatever key maps were loaded, possibly none.
void readKeyMapFile(ProgramState& state, Ports& ports, Link& link);

}  // namespace zintor

#pragma once

#include <functional>
#include <string>

#include "shared/Task.h"

namespace zintor {

// One row of the table that says where a line from the phone goes: the first row whose text and
// condition match handles the line. The phone screens own the table (phoneui/LineRoutes.cpp).
struct LineRoute {
    enum class Match {
        Whole,   // the whole line equals `text` (or `otherText`, when that is set)
        Prefix,  // the line begins with `text`
    };
    Match match = Match::Whole;
    std::string text;
    std::string otherText;
    std::function<bool()> when;  // the mode the program must be in
    // Gets its own copy of the line; may wait (for a command's answer, a key's release) while
    // the lines after it are routed.
    std::function<Task<void>(std::string)> handle;
    // A keypad report: it counts as a sign of life for the supervision once its handling ends.
    bool keypad = false;
};

}  // namespace zintor

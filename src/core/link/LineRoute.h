#pragma once

#include <functional>
#include <string>

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
    std::function<void(const std::string&)> handle;
    // A keypad report: receive events come back on before it is handled, so that the key's
    // release can end a hold loop, and it counts as a sign of life for the supervision.
    bool keypad = false;
};

}  // namespace zintor

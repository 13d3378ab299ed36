#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zintor {

// What a line from the phone says, read once where the line is routed. The parts take these,
// never the line itself.

// A menu item was chosen ("*EAMI: 3"; 0 is the way back). The screens have always read the
// choice in one of three ways, and a garbled choice ("*EAMI: 3x", "*EAMI: 12" in a menu of
// nine) keeps each of them:
struct MenuChosen {
    // The number its first two characters give: blanks skipped, a sign and the digits up to the
    // first other character; 0 without digits.
    int item = 0;
    // Its last character as a digit; -1 when that is no digit.
    int lastDigit = -1;
    // The number its last two characters give: leading blanks skipped, the digits up to the first
    // other character; 0 without digits.
    int lastTwoDigits = 0;
};

// The menu was left on the phone ("*EAMI").
struct MenuClosed {};

// A key went down or up ("+CKEV: 5,1"). Keys are numbered 0 to 23 (link/PhoneKeys.h); 99 is a
// key the program does not know.
struct KeyEvent {
    std::int32_t key = 99;
    bool pressed = false;
};

// A dialog was answered ("*EAII: 0", "*EAII: 14,1"): its code and the values after it.
struct DialogAnswered {
    int code = 0;
    std::vector<int> values;

    bool is(int wantedCode) const { return code == wantedCode && values.empty(); }
    bool is(int wantedCode, int value) const {
        return code == wantedCode && values.size() == 1 && values[0] == value;
    }
};

// A dialog was closed without an answer ("*EAII").
struct DialogClosed {};

// Text was entered in the input dialog ("*EAII: 11,"text""), without its quotes.
struct TextEntered {
    std::string text;
};

// The program's entry in the phone's accessory menu was opened ("*EAAI").
struct AccessoryOpened {};

// Anything else: no part takes it.
struct UnknownLine {};

using PhoneEvent = std::variant<UnknownLine, MenuChosen, MenuClosed, KeyEvent, DialogAnswered,
                                DialogClosed, TextEntered, AccessoryOpened>;

// Reads a line from the phone that is not the answer to a command. Numbers are taken as the phone
// writes them (digits only, no leading zero): "*EAII: 01" or "*EAII: 1, 1" is an UnknownLine.
PhoneEvent phoneEventOf(std::string_view line);

}  // namespace zintor

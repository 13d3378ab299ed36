#pragma once

#include <string>
#include <string_view>

namespace zintor::phoneui {

// The number a text starts with, the way the phone's menu numbers are read: blanks are skipped,
// an optional sign and the digits that follow count, anything else ends the number. A text
// without digits gives 0, and so does a number too large for an int.
int menuNumber(std::string_view text);

// The number read from the last two characters of a text ("*EAMI: 3" gives 3, "99" gives 99):
// leading blanks skipped, digits up to the first other character; no digits give 0. So
// "*EAII: 14,1" gives 0, its last two characters being ",1".
int trailingNumber(std::string_view text);

// Up to `count` characters from the 0-based position `from`; empty when the text is shorter.
std::string middle(std::string_view text, std::size_t from, std::size_t count);

// The last character of a text as a one-character string; empty for an empty text.
std::string lastCharacter(std::string_view text);

}  // namespace zintor::phoneui

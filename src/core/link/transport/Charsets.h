#pragma once

#include <string>
#include <string_view>

namespace zintor {

// Text inside the program is UTF-8. The phone speaks ISO 8859-1; key-map files written on
// Windows are in Windows-1252.

// The next character of program text starting at `at`, which moves past it. A byte that does not
// start a valid UTF-8 sequence stands for itself, as in ISO 8859-1 (text that came from the
// disk or a player in another encoding).
char32_t nextCharacter(std::string_view text, std::size_t& at);

bool isValidUtf8(std::string_view text);

// ISO 8859-1 bytes (the phone's text) as UTF-8.
std::string latin1ToUtf8(std::string_view text);

// Windows-1252 bytes as UTF-8; the five codes Windows-1252 leaves unused stand for themselves.
std::string windows1252ToUtf8(std::string_view text);

// One character as UTF-8.
void appendUtf8(std::string& out, char32_t character);

}  // namespace zintor

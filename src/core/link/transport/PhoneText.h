#pragma once

#include <string>
#include <string_view>

namespace zintor {

// The phone shows menu titles, menu items and timed notices cut to this many characters.
inline constexpr std::size_t kPhoneTextLength = 15;

// The first `count` characters of `text`, counted as the phone shows them: one per character of
// the program's UTF-8 text (a byte outside UTF-8 counts as one character).
std::string firstCharacters(std::string_view text, std::size_t count = kPhoneTextLength);

// `text` ready to go between the double quotes of an AT string: a double quote in it becomes an
// apostrophe, so data (a title like `say "hi"`) cannot end the string early.
std::string quoted(std::string_view text);

// The bytes the phone gets for one command line of the program (UTF-8, with or without its
// CR LF): ISO 8859-1, a character it lacks as "?", every control character a blank, a double
// quote that cannot open or close a quoted string an apostrophe (and an unclosed string
// closed), ending in exactly one CR LF. Nothing from data can start a second command line.
std::string toPhoneLine(std::string_view line);

}  // namespace zintor

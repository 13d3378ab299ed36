#pragma once

#include <string>
#include <string_view>

namespace zintor {

// The phone shows menu titles, menu items and timed notices cut to this many characters.
inline constexpr std::size_t kPhoneTextLength = 15;

// The first `count` characters of `text`. A text that is valid UTF-8 is cut between characters,
// never inside one; any other text is cut after `count` bytes.
std::string FirstCharacters(std::string_view text, std::size_t count = kPhoneTextLength);

}  // namespace zintor

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/media/MediaRecords.h"

namespace zintor {

// "m:ss": whole minutes, a colon, the seconds with two digits (75 gives "1:15", 3600 gives
// "60:00"). A negative number of seconds (the position of a player that plays nothing, or a track
// of unknown length) gives "0:00".
std::string formatTime(std::int32_t seconds);

// The text without characters of codes 0 to 31, trimmed of blanks at both ends.
std::string cleanTagText(std::string_view text);

// The fields of a 128-byte tag block, when its first three bytes read "tag" in any case. Each
// field is trimmed of blanks and cleaned with cleanTagText. False for any other block.
bool parseTag(std::string_view last128, TagInfo& tag);

}  // namespace zintor

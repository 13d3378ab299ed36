#include "core/media/MediaText.h"

#include <algorithm>
#include <cctype>

namespace zintor {

namespace {

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Where each field of the tag block lies (0-based offset, length).
struct TagField {
    std::size_t offset;
    std::size_t length;
    std::string TagInfo::*field;
};
constexpr TagField kTagFields[] = {
    {3, 30, &TagInfo::title}, {33, 30, &TagInfo::artist},  {63, 30, &TagInfo::album},
    {93, 4, &TagInfo::year},  {97, 30, &TagInfo::comment},
};
constexpr std::size_t kTagSize = 128;

}  // namespace

std::string formatTime(std::int32_t time) {
    const std::int32_t seconds = std::max(time, 0);  // an unknown time shows as 0:00
    const std::int32_t rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string cleanTagText(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if (static_cast<unsigned char>(c) > 31) {
            kept += c;
        }
    }
    return std::string(trimBlanks(kept));
}

bool parseTag(std::string_view last128, TagInfo& tag) {
    if (last128.size() < kTagSize) {
        return false;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(last128[i])) != "tag"[i]) {
            return false;
        }
    }
    for (const TagField& f : kTagFields) {
        tag.*f.field = cleanTagText(trimBlanks(last128.substr(f.offset, f.length)));
    }
    return true;
}

}  // namespace zintor

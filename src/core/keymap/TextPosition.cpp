#include "core/keymap/TextPosition.h"

#include <algorithm>

namespace zintor {

LineColumn lineColumnAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    LineColumn at;
    at.line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n');
    at.column =
        static_cast<int>(offset - (lineStart == std::string_view::npos ? 0 : lineStart + 1)) + 1;
    return at;
}

std::string join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) {
        out.append(part);
    }
    return out;
}

std::string excerpt(std::string_view text, std::size_t limit) {
    std::string out;
    for (char c : text.substr(0, limit)) {
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    }
    if (text.size() > limit) {
        out += "...";
    }
    return out;
}

}  // namespace zintor

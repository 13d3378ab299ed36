#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zintor {

struct LineColumn {
    int line = 1;    // 1-based; a line ends with LF (a CR before it belongs to the line)
    int column = 1;  // 1-based, counted in bytes
};

LineColumn LineColumnAt(std::string_view text, std::size_t offset);

// `text` made fit for a one-line message: control characters become blanks, and a long text is
// cut to `limit` characters followed by "...".
std::string Excerpt(std::string_view text, std::size_t limit = 40);

}  // namespace zintor

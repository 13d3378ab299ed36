#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zintor {

struct LineColumn {
    int line = 1;    // 1-based; a line ends with LF (a CR before it belongs to the line)
    int column = 1;  // 1-based, counted in bytes
};

LineColumn lineColumnAt(std::string_view text, std::size_t offset);

// The parts one after the other (messages are built with this rather than with operator+,
// which trips a false -Wrestrict warning of GCC 12 at -O3).
std::string join(std::initializer_list<std::string_view> parts);

// `text` made fit for a one-line message: control characters become blanks, and a long text is
// cut to `limit` characters followed by "...".
std::string excerpt(std::string_view text, std::size_t limit = 40);

}  // namespace zintor

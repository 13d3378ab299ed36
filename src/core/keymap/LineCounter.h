#pragma once

#include <cstddef>
#include <string_view>

#include "core/keymap/TextPosition.h"

namespace zintor {

// Line and column of offsets asked in increasing order, each found from the previous one.
class LineCounter {
  public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    LineColumn at(std::size_t offset);

  private:
    std::string_view text_;
    std::size_t offset_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
};

}  // namespace zintor

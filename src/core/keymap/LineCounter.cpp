#include "core/keymap/LineCounter.h"

#include <algorithm>

namespace zintor {

LineColumn LineCounter::at(std::size_t offset) {
    offset = std::min(offset, text_.size());
    if (offset < offset_) {
        offset_ = 0;
        lineStart_ = 0;
        line_ = 1;
    }
    for (; offset_ < offset; ++offset_) {
        if (text_[offset_] == '\n') {
            ++line_;
            lineStart_ = offset_ + 1;
        }
    }
    return {line_, static_cast<int>(offset - lineStart_) + 1};
}

}  // namespace zintor

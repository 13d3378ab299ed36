#include "core/link/transport/ReceiveBuffer.h"

#include <algorithm>

namespace zintor {

void ReceiveBuffer::append(std::string_view bytes) {
    data_ += bytes;
    const auto lastEnd = data_.rfind("\r\n");
    const std::size_t lineStart =
        lastEnd == std::string::npos || lastEnd < start_ ? start_ : lastEnd + 2;
    if (data_.size() - lineStart > kMaxPendingLine) {
        const bool endsWithCr = data_.back() == '\r';  // its LF may come with the next event
        data_.resize(lineStart);
        data_ += kDroppedText;
        if (endsWithCr) {
            data_ += '\r';
        }
        searchFrom_ = std::min(searchFrom_, lineStart);
    }
}

bool ReceiveBuffer::hasLine() {
    if (lineEnd_ != std::string::npos) {
        return true;
    }
    const std::size_t from = std::max(searchFrom_, start_);
    lineEnd_ = data_.find("\r\n", from);
    if (lineEnd_ == std::string::npos) {
        // A CR at the very end may still get its LF.
        searchFrom_ = data_.empty() ? 0 : std::max(from, data_.size() - 1);
        return false;
    }
    return true;
}

std::string ReceiveBuffer::takeLine() {
    if (!hasLine()) {
        return {};
    }
    std::string line = peekLine();
    start_ = lineEnd_ + 2;
    searchFrom_ = start_;
    lineEnd_ = std::string::npos;
    compact();
    return line;
}

std::string ReceiveBuffer::peekLine() {
    if (!hasLine()) {
        return {};
    }
    std::string line = data_.substr(start_, lineEnd_ - start_);
    std::erase(line, '\r');
    return line;
}

void ReceiveBuffer::dropWholeLines() {
    while (hasLine()) {
        takeLine();
    }
}

void ReceiveBuffer::compact() {
    if (start_ == data_.size()) {
        data_.clear();
        start_ = searchFrom_ = 0;
    } else if (start_ > 4096 && start_ > data_.size() / 2) {
        data_.erase(0, start_);
        searchFrom_ -= start_;
        start_ = 0;
    }
}

}  // namespace zintor

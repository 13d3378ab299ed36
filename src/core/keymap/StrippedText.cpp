#include "core/keymap/StrippedText.h"

#include <algorithm>

namespace zintor {
namespace {

constexpr std::string_view kOpen = "<!--";

}  // namespace

StrippedText::StrippedText(std::string_view in, const std::function<void()>& progress)
    : originalSize_(in.size()) {
    text_.reserve(in.size());
    runs_.push_back({0, 0});
    std::size_t i = 0;  // next unread character of the input
    while (i < in.size()) {
        // The text now is text_ followed by in[i..]; text_ holds no "<!--". Its first comment
        // start either straddles the join (begins in the last three characters of text_) or
        // lies wholly in the input.
        std::size_t s = std::string_view::npos;  // comment start in text_ once it is cut back
        std::size_t body = 0;                    // input index just after the "<!--"
        for (std::size_t k = kOpen.size() - 1; k >= 1; --k) {
            const std::string_view head = kOpen.substr(0, k);
            const std::string_view tail = kOpen.substr(k);
            if (text_.size() >= k && std::string_view(text_).substr(text_.size() - k) == head &&
                in.substr(i, tail.size()) == tail) {
                s = text_.size() - k;
                body = i + tail.size();
                break;
            }
        }
        if (s == std::string_view::npos) {
            const std::size_t found = in.find(kOpen, i);
            if (found == std::string_view::npos) {
                text_.append(in.substr(i));
                break;
            }
            text_.append(in.substr(i, found - i));
            s = text_.size();
            body = found + kOpen.size();
        }
        // The "-->" is searched from the comment's first character, so the "--" of "<!--"
        // itself can begin it.
        std::size_t resume = in.size();
        if (body < in.size() && in[body] == '>') {
            resume = body + 1;  // "<!-->"
        } else if (body + 1 < in.size() && in[body] == '-' && in[body + 1] == '>') {
            resume = body + 2;  // "<!--->"
        } else if (const std::size_t end = in.find("-->", body); end != std::string_view::npos) {
            resume = end + 3;
        }
        text_.resize(s);
        while (runs_.size() > 1 && runs_.back().from >= s) {
            runs_.pop_back();
        }
        if (runs_.back().from >= s) {
            runs_.back() = {s, resume};
        } else {
            runs_.push_back({s, resume});
        }
        i = resume;
        if (progress) {
            progress();
        }
    }
}

std::size_t StrippedText::originalOffset(std::size_t offset) const {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), offset,
                               [](std::size_t value, const Run& run) { return value < run.from; });
    const Run& run = *(it - 1);
    return std::min(run.original + (offset - run.from), originalSize_);
}

void stripComments(std::string& text) {
    text = StrippedText(text).release();
}

}  // namespace zintor

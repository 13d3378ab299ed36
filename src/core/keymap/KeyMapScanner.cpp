#include "core/keymap/KeyMapScanner.h"

#include <cstring>

#include "core/keymap/LeadingNumber.h"

namespace zintor {

std::size_t KeyMapScanner::find(char c, std::size_t from, std::size_t& memoFrom,
                                std::size_t& memoAt) const {
    if (memoFrom != npos && from >= memoFrom && (memoAt == npos || from <= memoAt)) {
        return memoAt;
    }
    const void* hit =
        from < text_.size() ? std::memchr(text_.data() + from, c, text_.size() - from) : nullptr;
    memoFrom = from;
    memoAt = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : npos;
    return memoAt;
}

std::optional<KeyMapScanner::Tag> KeyMapScanner::nextTag() {
    const std::size_t lt = text_.find('<', cursor_);
    if (lt == npos) {
        cursor_ = text_.size();
        return Tag{};
    }
    const std::size_t gt = text_.find('>', lt);
    if (gt == npos) {
        unclosedAt_ = lt;
        return std::nullopt;
    }
    cursor_ = gt + 1;
    return Tag{text_.substr(lt + 1, gt - lt - 1), lt};
}

std::optional<std::string_view> KeyMapScanner::nextValue() {
    // The next "</": a '<' directly followed by '/'. Remembered while the cursor has not
    // passed it, so values read again after a "</" without ">" do not search again.
    std::size_t p = closeHit_;
    if (closeFrom_ == npos || cursor_ < closeFrom_ || (closeHit_ != npos && cursor_ > closeHit_)) {
        p = text_.find("</", cursor_);
        closeFrom_ = cursor_;
        closeHit_ = p;
    }
    if (p == npos) {
        return std::nullopt;
    }
    closeAt_ = p;
    const std::string_view value = text_.substr(cursor_, p - cursor_);
    valueWork_ += value.size();
    const std::size_t q = find('>', p, gtFrom_, gtHit_);
    if (q != npos) {
        cursor_ = q + 1;
    }
    return value;
}

std::optional<std::string> getTag(std::string& text) {
    KeyMapScanner scanner(text);
    const auto tag = scanner.nextTag();
    if (!tag) {
        return std::nullopt;
    }
    std::string name(tag->name);
    text.erase(0, scanner.position());
    return name;
}

std::optional<std::string> getValueText(std::string& text) {
    KeyMapScanner scanner(text);
    const auto value = scanner.nextValue();
    if (!value) {
        return std::nullopt;
    }
    std::string result(*value);
    text.erase(0, scanner.position());
    return result;
}

std::optional<std::int32_t> getValueNumber(std::string& text) {
    std::string rest = text;
    const auto value = getValueText(rest);
    if (!value) {
        return std::nullopt;
    }
    const auto number = leadingNumber(*value);
    if (number) {
        text = std::move(rest);
    }
    return number;
}

}  // namespace zintor

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zintor {

// Reads a comment-free key-map text with one cursor, front to back.
//
// Each read gives what the classic front-consuming reader gives (which cut the text in front of
// the cursor away): the next tag is everything between the next "<" and the next ">" after it;
// a value is everything up to the next "</", and the cursor then goes past the next ">" after
// that "</". Searches that later reads would repeat are remembered, so reading a whole text is
// linear in its length.
class KeyMapScanner {
  public:
    static constexpr std::size_t npos = std::string_view::npos;

    explicit KeyMapScanner(std::string_view text) : text_(text) {}

    std::size_t position() const { return cursor_; }
    std::size_t remaining() const { return text_.size() - cursor_; }

    struct Tag {
        std::string_view name;
        std::size_t at = npos;  // offset of its "<"; npos when the text held no "<" any more
    };
    // The next tag. Without any "<" left: an empty name, and the cursor goes to the end.
    // Nothing when a "<" has no ">" after it; the cursor stays and unclosedAt() tells where.
    std::optional<Tag> nextTag();
    std::size_t unclosedAt() const { return unclosedAt_; }

    // The value in front of the cursor: everything up to the next "</", kept exactly (blanks,
    // line breaks and a lone "<" included). Nothing when no "</" follows; the cursor stays.
    // When no ">" follows the "</", the cursor stays where it was (the classic reader kept the
    // whole text then) and valueEndAt() is that "</".
    std::optional<std::string_view> nextValue();
    std::size_t valueEndAt() const { return closeAt_; }

    // Characters handed out as values so far. A value is read again only after a "</" with no
    // ">" behind it; the loader uses this to bound that case.
    std::uint64_t valueWork() const { return valueWork_; }

  private:
    std::size_t find(char c, std::size_t from, std::size_t& memoFrom, std::size_t& memoAt) const;

    std::string_view text_;
    std::size_t cursor_ = 0;
    std::size_t unclosedAt_ = npos;
    std::size_t closeAt_ = npos;
    std::uint64_t valueWork_ = 0;
    // Remembered searches: the first hit at or after `from` is `at` for every start in
    // [from, at] (at may be npos: nothing from `from` on).
    std::size_t closeFrom_ = npos, closeHit_ = npos;  // "</"
    std::size_t gtFrom_ = npos, gtHit_ = npos;        // ">" after a "</"
};

// The classic operations on a text that is consumed from the front. They serve tests and tools;
// the loader itself reads with one KeyMapScanner.
//
// getTag: the next tag's name; everything up to and including its ">" is removed. A text
// without "<" gives "" and becomes empty. Nothing, with the text unchanged, when the "<" has no
// ">" after it.
std::optional<std::string> getTag(std::string& text);
// getValueText: the text up to the next "</"; that and the end tag up to its ">" are removed.
// Nothing, with the text unchanged, when there is no "</".
std::optional<std::string> getValueText(std::string& text);
// getValueNumber: as getValueText, then the value read as a number (leadingNumber). Nothing
// when there is no "</" or the number does not fit 32 bits.
std::optional<std::int32_t> getValueNumber(std::string& text);

}  // namespace zintor

#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zintor {

// A key-map text with its comments removed, and where each of its characters came from.
//
// A comment starts at the first "<!--" of the text and ends with the first "-->" found from the
// comment's own first character (so "<!-->" is a whole comment); an unclosed comment runs to
// the end. After a removal the search starts again at the beginning of what is left, so the
// pieces on either side of a removed comment can form a new "<!--". One pass over the input
// gives exactly that result: the output never holds a "<!--", so the next comment start either
// lies in the unread input or straddles the join.
class StrippedText {
  public:
    // `progress` (may be empty) is called once after each removed comment.
    StrippedText(std::string_view original, const std::function<void()>& progress = {});

    const std::string& text() const { return text_; }
    std::string&& release() { return std::move(text_); }

    // Offset in the original text of the character at `offset` of text(); the end of text()
    // maps to the end of the original.
    std::size_t originalOffset(std::size_t offset) const;

  private:
    struct Run {
        std::size_t from;      // offset in text()
        std::size_t original;  // offset in the original text
    };
    std::string text_;
    std::vector<Run> runs_;
    std::size_t originalSize_;
};

// The text with every comment removed, in place.
void stripComments(std::string& text);

}  // namespace zintor

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zintor {

// Text received from the phone and not yet cut into lines. Lines are taken from the front
// without moving the rest each time, so a burst of any length costs time in proportion to its
// size. An unfinished line that grows past any sensible length (a phone sending garbage) is
// replaced by a marker that matches no line the program knows; the marker stays the start of
// that line until its CR LF comes, so the buffer stays small.
class ReceiveBuffer {
  public:
    static constexpr std::size_t kMaxPendingLine = 8192;
    static constexpr std::string_view kDroppedText = "<dropped>";

    void append(std::string_view bytes);

    // A whole line (ending in CR LF) is waiting.
    bool hasLine();
    // The first whole line, without its CR LF and with every other CR removed. Only after
    // hasLine() said true.
    std::string takeLine();
    // The line takeLine() would give, left in place.
    std::string peekLine();
    // Forgets the whole lines; an unfinished last line stays.
    void dropWholeLines();

    // Everything not taken yet.
    std::string_view text() const { return std::string_view(data_).substr(start_); }
    bool empty() const { return start_ == data_.size(); }
    // The bytes kept, taken ones included until they are let go.
    std::size_t held() const { return data_.size(); }

  private:
    void compact();

    std::string data_;
    std::size_t start_ = 0;                    // first byte not taken yet
    std::size_t searchFrom_ = 0;               // no CR LF begins before this position
    std::size_t lineEnd_ = std::string::npos;  // the CR LF hasLine() found
};

}  // namespace zintor

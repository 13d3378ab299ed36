#include "link/PhoneText.h"

namespace zintor {

namespace {

// Length of the UTF-8 sequence starting at `at`, or 0 when it is not a valid one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace

std::string FirstCharacters(std::string_view text, std::size_t count) {
    if (!IsUtf8(text)) {
        return std::string(text.substr(0, count));
    }
    std::size_t at = 0;
    for (std::size_t characters = 0; characters < count && at < text.size(); ++characters) {
        at += Utf8SequenceLength(text, at);
    }
    return std::string(text.substr(0, at));
}

}  // namespace zintor

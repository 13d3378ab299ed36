#include "control/InputSynthesis.h"

namespace zintor {
namespace {
constexpr std::uint8_t kVkShift = 16;
}

void InputSynthesis::TypeText(const std::string& text) {
    // Events run between characters; they must not be able to change what is being typed.
    const std::string chars = text;
    const std::string::size_type length = chars.size();
    for (std::string::size_type i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(chars[i]);
        if (c >= '0' && c <= '9') {
            SendKeyPress(c);
        } else if (c >= 'A' && c <= 'Z') {
            SendKeyDown(kVkShift);
            SendKeyPress(c);
            SendKeyUp(kVkShift);
        } else if (c >= 'a' && c <= 'z') {
            SendKeyPress(static_cast<std::uint8_t>(c - ('a' - 'A')));
        }
        loop_.pumpOnce();
    }
}

}  // namespace zintor

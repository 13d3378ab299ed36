#include "control/InputSynthesis.h"

namespace zintor {
namespace {
constexpr std::uint8_t kVkShift = 16;
}

void InputSynthesis::SendKeyDown(std::uint8_t vk) {
    keysDown_.set(vk);
    input_.keyDown(vk);
}

void InputSynthesis::SendKeyUp(std::uint8_t vk) {
    keysDown_.reset(vk);
    input_.keyUp(vk);
}

void InputSynthesis::SendLeftButtonDown() {
    leftDown_ = true;
    input_.leftButtonDown();
}

void InputSynthesis::SendLeftButtonUp() {
    leftDown_ = false;
    input_.leftButtonUp();
}

void InputSynthesis::SendRightButtonDown() {
    rightDown_ = true;
    input_.rightButtonDown();
}

void InputSynthesis::SendRightButtonUp() {
    rightDown_ = false;
    input_.rightButtonUp();
}

void InputSynthesis::ReleaseAll() {
    for (std::size_t vk = 0; vk < keysDown_.size(); ++vk) {
        if (keysDown_.test(vk)) {
            SendKeyUp(static_cast<std::uint8_t>(vk));
        }
    }
    if (leftDown_) {
        SendLeftButtonUp();
    }
    if (rightDown_) {
        SendRightButtonUp();
    }
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

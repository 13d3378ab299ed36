#include "control/InputSynthesis.h"

namespace zintor {
namespace {
constexpr std::uint8_t kVkShift = 16;
}

void InputSynthesis::sendKeyDown(std::uint8_t vk) {
    keysDown_.set(vk);
    input_.keyDown(vk);
}

void InputSynthesis::sendKeyUp(std::uint8_t vk) {
    keysDown_.reset(vk);
    input_.keyUp(vk);
}

void InputSynthesis::sendLeftButtonDown() {
    leftDown_ = true;
    input_.leftButtonDown();
}

void InputSynthesis::sendLeftButtonUp() {
    leftDown_ = false;
    input_.leftButtonUp();
}

void InputSynthesis::sendRightButtonDown() {
    rightDown_ = true;
    input_.rightButtonDown();
}

void InputSynthesis::sendRightButtonUp() {
    rightDown_ = false;
    input_.rightButtonUp();
}

void InputSynthesis::releaseAll() {
    for (std::size_t vk = 0; vk < keysDown_.size(); ++vk) {
        if (keysDown_.test(vk)) {
            sendKeyUp(static_cast<std::uint8_t>(vk));
        }
    }
    if (leftDown_) {
        sendLeftButtonUp();
    }
    if (rightDown_) {
        sendRightButtonUp();
    }
}

void InputSynthesis::typeText(const std::string& text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= '0' && c <= '9') {
            sendKeyPress(c);
        } else if (c >= 'A' && c <= 'Z') {
            sendKeyDown(kVkShift);
            sendKeyPress(c);
            sendKeyUp(kVkShift);
        } else if (c >= 'a' && c <= 'z') {
            sendKeyPress(static_cast<std::uint8_t>(c - ('a' - 'A')));
        }
    }
}

}  // namespace zintor

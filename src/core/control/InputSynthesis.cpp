#include "core/control/InputSynthesis.h"

#include <cstdio>
#include <string_view>

#include "core/control/ControlTexts.h"
#include "core/link/transport/Charsets.h"

namespace zintor {
namespace {
constexpr std::uint8_t kVkBackspace = 8;
constexpr std::uint8_t kVkTab = 9;
constexpr std::uint8_t kVkReturn = 13;
constexpr std::uint8_t kVkShift = 16;
}  // namespace

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

std::string InputSynthesis::typeText(const std::string& text) {
    std::string untyped;
    std::u32string seen;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCharacter(text, at);
        if (c == '\r' && std::string_view(text).substr(at).starts_with('\n')) {
            continue;  // CR LF is one line break
        }
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) {
            sendKeyPress(static_cast<std::uint8_t>(c >= 'a' ? c - ('a' - 'A') : c));
        } else if (c >= 'A' && c <= 'Z') {
            sendKeyDown(kVkShift);
            sendKeyPress(static_cast<std::uint8_t>(c));
            sendKeyUp(kVkShift);
        } else if (c == '\b' || c == '\t' || c == '\n' || c == '\r') {
            sendKeyPress(c == '\b' ? kVkBackspace : c == '\t' ? kVkTab : kVkReturn);
        } else if (!input_.typeCharacter(c) && seen.find(c) == std::u32string::npos) {
            seen += c;
            appendUtf8(untyped, c);
        }
    }
    return untyped;
}

std::string untypedNotice(const std::string& untyped) {
    if (untyped.empty()) {
        return {};
    }
    std::string notice = control_texts::kUntyped;
    for (std::size_t at = 0; at < untyped.size();) {
        const char32_t c = nextCharacter(untyped, at);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0xFF) {
            char name[12];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
            notice += name;
        } else {
            appendUtf8(notice, c);
        }
    }
    return notice;
}

}  // namespace zintor

#include "platform/windows/SendInputKeyboardMouse.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace zintor {
namespace {

bool isExtended(std::uint8_t vk) {
    static constexpr std::uint8_t kExtended[] = {
        VK_LEFT,     VK_RIGHT, VK_UP,     VK_DOWN,   VK_PRIOR,  VK_NEXT,
        VK_HOME,     VK_END,   VK_INSERT, VK_DELETE, VK_DIVIDE, VK_NUMLOCK,
        VK_RCONTROL, VK_RMENU, VK_LWIN,   VK_RWIN,   VK_APPS,   VK_SNAPSHOT};
    return std::find(std::begin(kExtended), std::end(kExtended), vk) != std::end(kExtended);
}

INPUT keyInput(std::uint8_t vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void send(INPUT* inputs, UINT count) {
    SendInput(count, inputs, sizeof(INPUT));
}

void button(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    send(&input, 1);
}

}  // namespace

void SendInputKeyboardMouse::keyDown(std::uint8_t vk) {
    INPUT input = keyInput(vk, false);
    send(&input, 1);
}

void SendInputKeyboardMouse::keyUp(std::uint8_t vk) {
    INPUT input = keyInput(vk, true);
    send(&input, 1);
}

void SendInputKeyboardMouse::keyPress(std::uint8_t vk) {
    INPUT inputs[] = {keyInput(vk, false), keyInput(vk, true)};
    send(inputs, 2);  // one call: no other input falls between the two
}

void SendInputKeyboardMouse::leftButtonDown() {
    button(MOUSEEVENTF_LEFTDOWN);
}

void SendInputKeyboardMouse::leftButtonUp() {
    button(MOUSEEVENTF_LEFTUP);
}

void SendInputKeyboardMouse::rightButtonDown() {
    button(MOUSEEVENTF_RIGHTDOWN);
}

void SendInputKeyboardMouse::rightButtonUp() {
    button(MOUSEEVENTF_RIGHTUP);
}

bool SendInputKeyboardMouse::typeCharacter(char32_t character) {
    const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
    const bool surrogate = character >= 0xD800 && character < 0xE000;
    if (control || surrogate || character > 0x10FFFF) {
        return false;
    }
    // UTF-16: a character beyond the first plane as its surrogate pair, unit after unit.
    WORD units[2] = {static_cast<WORD>(character), 0};
    UINT count = 2;
    if (character >= 0x10000) {
        units[0] = static_cast<WORD>(0xD800 + ((character - 0x10000) >> 10));
        units[1] = static_cast<WORD>(0xDC00 + ((character - 0x10000) & 0x3FF));
        count = 4;
    }
    INPUT inputs[4]{};
    for (UINT i = 0; i < count; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = units[i / 2];
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 != 0 ? KEYEVENTF_KEYUP : 0);
    }
    send(inputs, count);  // one call: the character arrives whole
    return true;
}

bool SendInputKeyboardMouse::getCursor(int& x, int& y) {
    POINT point{};
    if (!GetCursorPos(&point)) {
        return false;
    }
    x = point.x;
    y = point.y;
    return true;
}

void SendInputKeyboardMouse::setCursor(int x, int y) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1);
    const int height = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1);
    SetCursorPos(std::clamp(x, left, left + width - 1), std::clamp(y, top, top + height - 1));
}

void SendInputKeyboardMouse::moveCursorBy(int dx, int dy) {
    int x = 0;
    int y = 0;
    if (getCursor(x, y)) {
        setCursor(x + dx, y + dy);
    }
}

void SendInputKeyboardMouse::wheel(int dx, int dy) {
    // Positive mouse data turns the wheel away from the user (up) or to the right.
    INPUT inputs[2]{};
    UINT count = 0;
    for (const auto& [flag, data] : {std::pair<DWORD, int>{MOUSEEVENTF_WHEEL, -dy},
                                     std::pair<DWORD, int>{MOUSEEVENTF_HWHEEL, dx}}) {
        if (data != 0) {
            inputs[count].type = INPUT_MOUSE;
            inputs[count].mi.dwFlags = flag;
            inputs[count].mi.mouseData = static_cast<DWORD>(data * WHEEL_DELTA);
            ++count;
        }
    }
    if (count > 0) {
        send(inputs, count);
    }
}

}  // namespace zintor

#include "platform/linux/XTestKeySyms.h"

#include <X11/X.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

namespace zintor {

namespace {

constexpr std::uint8_t kVkF1 = 112;
constexpr std::uint8_t kVkF12 = 123;

struct VirtualKeySym {
    std::uint8_t vk;
    unsigned long keysym;
};

// The named keys; digits, letters and F1 to F12 are ranges handled below.
constexpr VirtualKeySym kNamedKeys[] = {
    {8, XK_BackSpace},     {9, XK_Tab},
    {13, XK_Return},       {16, XK_Shift_L},
    {17, XK_Control_L},    {18, XK_Alt_L},
    {19, XK_Pause},        {20, XK_Caps_Lock},
    {27, XK_Escape},       {32, XK_space},
    {33, XK_Prior},        {34, XK_Next},
    {35, XK_End},          {36, XK_Home},
    {37, XK_Left},         {38, XK_Up},
    {39, XK_Right},        {40, XK_Down},
    {41, XK_Select},       {42, XK_Print},
    {43, XK_Execute},      {44, XK_Print},
    {45, XK_Insert},       {46, XK_Delete},
    {91, XK_Super_L},      {108, XK_KP_Separator},
    {109, XK_KP_Subtract}, {110, XK_KP_Decimal},
    {111, XK_KP_Divide},   {144, XK_Num_Lock},
    {188, XK_comma},       {190, XK_period},
};
// 42 is the "Print" key of old keyboards; PCs only have Print Screen (44), so both send Print.

}  // namespace

unsigned long xTestKeySymForVirtualKey(std::uint8_t vk) {
    if (vk >= '0' && vk <= '9') {
        return XK_0 + (vk - '0');
    }
    if (vk >= 'A' && vk <= 'Z') {
        return XK_a + (vk - 'A');
    }
    if (vk >= kVkF1 && vk <= kVkF12) {
        return XK_F1 + (vk - kVkF1);
    }
    for (const VirtualKeySym& key : kNamedKeys) {
        if (key.vk == vk) {
            return key.keysym;
        }
    }
    return NoSymbol;
}

unsigned long keySymForCharacter(char32_t character) {
    if (character < 0x20 || (character >= 0x7F && character < 0xA0)) {
        return NoSymbol;
    }
    return xkb_utf32_to_keysym(character);
}

}  // namespace zintor

#include "core/link/transport/PhoneKeys.h"

#include <array>
#include <string>

namespace zintor {
namespace {

void removeAll(std::string& text, std::string_view what) {
    std::string::size_type at = 0;
    while ((at = text.find(what, at)) != std::string::npos) {
        text.erase(at, what.size());
    }
}

struct PhoneCode {
    std::string_view code;
    int key;
};

constexpr std::array<PhoneCode, 23> kPhoneCodes{{
    {"0", 0},   {"1", 1},  {"2", 2},  {"3", 3},  {"4", 4},  {"5", 5},  {"6", 6},   {"7", 7},
    {"8", 8},   {"9", 9},  {"u", 10}, {"d", 11}, {"*", 13}, {"#", 14}, {":O", 15}, {":C", 16},
    {":R", 17}, {"<", 18}, {">", 19}, {"v", 20}, {"^", 21}, {"[", 22}, {"]", 23},
}};

}  // namespace

std::string_view phoneCodeOf(int key) {
    for (const PhoneCode& entry : kPhoneCodes) {
        if (entry.key == key) {
            return entry.code;
        }
    }
    return {};
}

KeyEvent keyEventOf(std::string_view line) {
    std::string rest(line);
    removeAll(rest, "+CKEV: ");
    removeAll(rest, "\r\n");

    KeyEvent event;
    if (rest.find(",1") != std::string::npos) {
        event.pressed = true;
        removeAll(rest, ",1");
    } else {
        event.pressed = false;
        removeAll(rest, ",0");
    }

    event.key = kKeyUnknown;
    for (const PhoneCode& entry : kPhoneCodes) {
        if (rest == entry.code) {
            event.key = entry.key;
            break;
        }
    }
    return event;
}

}  // namespace zintor

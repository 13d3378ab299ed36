#include "core/link/transport/PhoneEvent.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/link/transport/PhoneKeys.h"

namespace zintor {

namespace {

constexpr std::string_view kMenuChoice = "*EAMI: ";
constexpr std::string_view kMenuClosed = "*EAMI";
constexpr std::string_view kKeyReport = "+CKEV: ";
constexpr std::string_view kDialogAnswer = "*EAII: ";
constexpr std::string_view kTextEntered = "*EAII: 11,";
constexpr std::string_view kDialogClosed = "*EAII";
constexpr std::string_view kAccessoryOpened = "*EAAI";

// The number a text starts with, the way the menus' item numbers are read: blanks are skipped,
// an optional sign and the digits that follow count, anything else ends the number. A text
// without digits gives 0, and so does a number too large for an int.
int leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            continue;
        }
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max()) {
            return 0;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number in the last two characters of a text: leading blanks skipped, digits up to the
// first other character.
int lastTwoDigitsOf(std::string_view text) {
    std::string_view last = text.substr(text.size() - std::min<std::size_t>(text.size(), 2));
    while (!last.empty() && last.front() == ' ') {
        last.remove_prefix(1);
    }
    int n = 0;
    for (const char c : last) {
        if (!isDigit(c)) {
            break;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

MenuChosen menuChoiceOf(std::string_view line) {
    const std::string_view choice = line.substr(kMenuChoice.size());
    MenuChosen chosen;
    chosen.item = leadingNumber(choice.substr(0, 2));
    chosen.lastDigit = isDigit(line.back()) ? line.back() - '0' : -1;
    chosen.lastTwoDigits = lastTwoDigitsOf(line);
    return chosen;
}

// A number as the phone writes it: digits without a leading zero, small enough for an int.
bool readNumber(std::string_view text, int& value) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit) ||
        (text.size() > 1 && text.front() == '0')) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// "code" or "code,value,...": an UnknownLine for anything else.
PhoneEvent dialogAnswerOf(std::string_view answer) {
    DialogAnswered answered;
    bool first = true;
    while (true) {
        const std::size_t comma = answer.find(',');
        int number = 0;
        if (!readNumber(answer.substr(0, comma), number)) {
            return UnknownLine{};
        }
        if (first) {
            answered.code = number;
            first = false;
        } else {
            answered.values.push_back(number);
        }
        if (comma == std::string_view::npos) {
            return answered;
        }
        answer.remove_prefix(comma + 1);
    }
}

}  // namespace

PhoneEvent phoneEventOf(std::string_view line) {
    if (line.starts_with(kMenuChoice)) {
        return menuChoiceOf(line);
    }
    if (line == kMenuClosed) {
        return MenuClosed{};
    }
    if (line.starts_with(kKeyReport)) {
        return keyEventOf(line);
    }
    if (line.starts_with(kTextEntered)) {
        std::string text(line.substr(kTextEntered.size()));
        std::erase(text, '"');
        return TextEntered{std::move(text)};
    }
    if (line.starts_with(kDialogAnswer)) {
        return dialogAnswerOf(line.substr(kDialogAnswer.size()));
    }
    if (line == kDialogClosed) {
        return DialogClosed{};
    }
    if (line == kAccessoryOpened) {
        return AccessoryOpened{};
    }
    return UnknownLine{};
}

}  // namespace zintor

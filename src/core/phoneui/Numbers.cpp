#include "phoneui/Numbers.h"

#include <limits>

namespace zintor::phoneui {

int menuNumber(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
    };
    skipBlanks();
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

int trailingNumber(std::string_view text) {
    std::string_view last = text.size() > 2 ? text.substr(text.size() - 2) : text;
    while (!last.empty() && last.front() == ' ') {
        last.remove_prefix(1);
    }
    int n = 0;
    for (char c : last) {
        if (c < '0' || c > '9') {
            break;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string middle(std::string_view text, std::size_t from, std::size_t count) {
    if (from >= text.size()) {
        return {};
    }
    return std::string(text.substr(from, count));
}

std::string lastCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    return std::string(1, text.back());
}

}  // namespace zintor::phoneui

#include "core/keymap/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zintor {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

bool ignored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    }
    return v < base ? v : -1;
}

// Hexadecimal or octal digits, as many as there are.
std::optional<std::int32_t> prefixedNumber(const std::string& s, std::size_t i, int base) {
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = digitValue(s[i], base);
        if (d < 0) {
            break;
        }
        value = value * base + d;
        if (value > kMax) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> decimalNumber(const std::string& s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string digits;  // integer and fraction digits together
    std::int64_t pointAt = 0;
    while (i < s.size() && isDigit(s[i])) {
        digits += s[i++];
    }
    pointAt = static_cast<std::int64_t>(digits.size());
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            digits += s[i++];
        }
    }
    if (digits.empty()) {
        return 0;
    }
    std::int64_t exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        for (; j < s.size() && isDigit(s[j]); ++j) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (s[j] - '0');
            }
        }
        if (expNegative) {
            exponent = -exponent;
        }
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    // The value is 0.<significant digits> times ten to the power `scale`.
    const std::int64_t scale = pointAt - static_cast<std::int64_t>(first) + exponent;
    if (scale > 10) {
        return std::nullopt;  // at least 10^10
    }
    if (scale < 0) {
        return 0;  // below 0.1, rounds to 0
    }
    // Converting the exact decimal text gives the correctly rounded double, as the reading has
    // always done, and the double is then rounded to an integer.
    std::string text = "0.";
    text.append(digits, first);
    text += 'e';
    text += std::to_string(scale);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (negative) {
        value = -value;
    }
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(kMax)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::optional<std::int32_t> leadingNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!ignored(c)) {
            s += c;
        }
    }
    const std::string_view prefix = std::string_view(s).substr(0, 2);
    if (prefix == "&H" || prefix == "&h") {
        return prefixedNumber(s, 2, 16);
    }
    if (prefix == "&O" || prefix == "&o") {
        return prefixedNumber(s, 2, 8);
    }
    return decimalNumber(s);
}

}  // namespace zintor

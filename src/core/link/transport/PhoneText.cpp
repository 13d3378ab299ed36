#include "core/link/transport/PhoneText.h"

#include "core/link/transport/Charsets.h"

namespace zintor {

std::string firstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t characters = 0; characters < count && at < text.size(); ++characters) {
        nextCharacter(text, at);
    }
    return std::string(text.substr(0, at));
}

std::string quoted(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '"') {
            c = '\'';
        }
    }
    return out;
}

namespace {

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The line's characters as ISO 8859-1 bytes, controls as blanks.
std::string toLatin1(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCharacter(text, at);
        if (isControl(c)) {
            out += ' ';
        } else if (c > 0xFF) {
            out += '?';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A quoted string opens right after "=" or "," (or at the start) and closes right before "," or
// the end of the line; any other double quote is data.
void balanceQuotes(std::string& body) {
    bool inside = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '"') {
            continue;
        }
        if (!inside) {
            const bool opens = i == 0 || body[i - 1] == '=' || body[i - 1] == ',';
            if (opens) {
                inside = true;
            } else {
                body[i] = '\'';
            }
        } else {
            const bool closes = i + 1 == body.size() || body[i + 1] == ',';
            if (closes) {
                inside = false;
            } else {
                body[i] = '\'';
            }
        }
    }
    if (inside) {
        body += '"';
    }
}

}  // namespace

std::string toPhoneLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    std::string body = toLatin1(line);
    balanceQuotes(body);
    return body + "\r\n";
}

}  // namespace zintor

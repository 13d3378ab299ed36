#include "platform/web/PhoneModel.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/link/transport/Charsets.h"

namespace zintor::web {

namespace {

constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";

struct Field {
    bool quoted = false;
    std::string text;
};

// "a",1,"b c" -> fields; nothing when a quote is left open or a bare field holds a quote.
std::optional<std::vector<Field>> splitFields(std::string_view args) {
    std::vector<Field> fields;
    std::size_t i = 0;
    while (true) {
        Field field;
        if (i < args.size() && args[i] == '"') {
            const std::size_t close = args.find('"', i + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            field.quoted = true;
            field.text = std::string(args.substr(i + 1, close - i - 1));
            i = close + 1;
            if (i < args.size() && args[i] != ',') {
                return std::nullopt;
            }
        } else {
            const std::size_t comma = std::min(args.find(',', i), args.size());
            field.text = std::string(args.substr(i, comma - i));
            if (field.text.find('"') != std::string::npos) {
                return std::nullopt;
            }
            i = comma;
        }
        fields.push_back(std::move(field));
        if (i >= args.size()) {
            return fields;
        }
        ++i;  // the comma
    }
}

std::optional<int> number(const Field& field) {
    int value = 0;
    const char* end = field.text.data() + field.text.size();
    const auto [ptr, error] = std::from_chars(field.text.data(), end, value);
    if (field.quoted || field.text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

const std::vector<std::string>& PhoneModel::keyCodes() {
    static const std::vector<std::string> codes{"0",  "1",  "2", "3", "4", "5", "6", "7",
                                                "8",  "9",  "*", "#", "u", "d", "c", ":O",
                                                ":C", ":R", "<", ">", "^", "v", "[", "]"};
    return codes;
}

std::string PhoneModel::answer(std::string_view command) {
    const std::string upper = upperCase(command);
    if (upper.rfind("AT", 0) != 0) {
        return kError;
    }
    if (upper == "AT+CGMM") {
        return std::string("\r\n") + kModelName + "\r\n" + kOk;
    }
    const std::size_t eq = upper.find('=');
    const std::string_view name = std::string_view(upper).substr(0, eq);
    const std::string_view args =
        eq == std::string::npos ? std::string_view() : command.substr(eq + 1);
    return handle(name, args) ? kOk : kError;
}

bool PhoneModel::handle(std::string_view name, std::string_view args) {
    if (name == "AT" || name == "AT+CSCS" || name == "AT+CKPD") {
        if (name == "AT+CKPD" && screen_.dialog.kind != DialogKind::kNoDialog) {
            screen_.dialog = PhoneDialog{};  // the clear key closes what is shown
        }
        return true;
    }
    const std::optional<std::vector<Field>> fields = splitFields(args);
    if (!fields || fields->empty()) {
        return false;
    }
    const std::vector<Field>& f = *fields;
    if (name == "AT+CMER") {
        const std::optional<int> mode = number(f[0]);
        if (!mode || (*mode != 0 && *mode != 3)) {
            return false;
        }
        screen_.keypadReporting = *mode == 3 && f.size() > 1 && number(f[1]).value_or(0) != 0;
        return true;
    }
    if (name == "AT*EAM") {
        if (f.size() != 1 || !f[0].quoted) {
            return false;
        }
        screen_.entry = latin1ToUtf8(f[0].text);
        return true;
    }
    if (name == "AT*EASM") {
        // "title",1,highlighted,count,"item"...
        if (f.size() < 5 || !f[0].quoted) {
            return false;
        }
        const std::optional<int> highlighted = number(f[2]);
        const std::optional<int> count = number(f[3]);
        if (!highlighted || !count || *count < 1 || *count != static_cast<int>(f.size()) - 4 ||
            *highlighted < 1 || *highlighted > *count) {
            return false;
        }
        PhoneMenu menu{latin1ToUtf8(f[0].text), *highlighted, {}};
        for (std::size_t i = 4; i < f.size(); ++i) {
            if (!f[i].quoted) {
                return false;
            }
            menu.items.push_back(latin1ToUtf8(f[i].text));
        }
        screen_.menu = std::move(menu);
        screen_.dialog = PhoneDialog{};
        return true;
    }
    if (name == "AT*EAID") {
        const std::optional<int> type = number(f[0]);
        if (!type || f.size() < 3 || !f[2].quoted) {
            return false;
        }
        PhoneDialog dialog;
        const std::string text = latin1ToUtf8(f[2].text);
        if (*type == 13 && f.size() == 3) {
            dialog = {DialogKind::kNotice, "", text, kNoticeMs, 0};
        } else if (*type == 1 && f.size() == 4 && number(f[3])) {
            // The time-out is given in tenths of a second.
            dialog = {DialogKind::kPopUp, "", text, std::max(0, *number(f[3])) * 100, 0};
        } else if (*type == 11 && f.size() == 5 && f[3].quoted && number(f[4])) {
            const int limit = std::clamp(*number(f[4]), 1, static_cast<int>(kMaxInput));
            dialog = {DialogKind::kInputBox, text, latin1ToUtf8(f[3].text), 0, limit};
        } else if (*type == 14 && f.size() == 4 && f[3].quoted) {
            dialog = {DialogKind::kStatusText, text, latin1ToUtf8(f[3].text), 0, 0};
        } else {
            return false;
        }
        if (dialog.kind != DialogKind::kNotice) {
            screen_.menu.reset();
        }
        screen_.dialog = std::move(dialog);
        return true;
    }
    return false;
}

std::optional<std::string> PhoneModel::openEntry() {
    if (screen_.entry.empty()) {
        return std::nullopt;
    }
    return "*EAAI";
}

std::optional<std::string> PhoneModel::chooseItem(int item) {
    if (!screen_.menu || item < 1 || item > static_cast<int>(screen_.menu->items.size())) {
        return std::nullopt;
    }
    screen_.menu.reset();
    return "*EAMI: " + std::to_string(item);
}

std::optional<std::string> PhoneModel::leaveMenu() {
    if (!screen_.menu) {
        return std::nullopt;
    }
    screen_.menu.reset();
    return "*EAMI";
}

std::optional<std::string> PhoneModel::answerDialog() {
    const DialogKind kind = screen_.dialog.kind;
    if (kind != DialogKind::kPopUp && kind != DialogKind::kStatusText) {
        return std::nullopt;
    }
    screen_.dialog = PhoneDialog{};
    return kind == DialogKind::kPopUp ? "*EAII: 1,1" : "*EAII: 14,1";
}

std::optional<std::string> PhoneModel::closeDialog() {
    const DialogKind kind = screen_.dialog.kind;
    if (kind == DialogKind::kNoDialog || kind == DialogKind::kNotice) {
        if (!screen_.keypadReporting || screen_.menu) {
            return std::nullopt;
        }
    }
    screen_.dialog = PhoneDialog{};
    return "*EAII: 0";
}

std::optional<std::string> PhoneModel::endSession() {
    if (screen_.menu) {
        return leaveMenu();
    }
    const bool shown = screen_.dialog.kind != DialogKind::kNoDialog || screen_.keypadReporting;
    if (!shown) {
        return std::nullopt;
    }
    screen_.dialog = PhoneDialog{};
    return "*EAII";
}

std::optional<std::string> PhoneModel::enterText(std::string_view utf8) {
    if (screen_.dialog.kind != DialogKind::kInputBox) {
        return std::nullopt;
    }
    // Sent as UTF-8, which the program reads as such: every character reaches it.
    std::string text;
    int count = 0;
    for (std::size_t at = 0; at < utf8.size(); ++count) {
        const char32_t c = nextCharacter(utf8, at);
        // A phone's input box holds no control characters.
        appendUtf8(text, c < 0x20 || (c >= 0x7f && c < 0xa0) ? U' ' : c);
    }
    if (count > screen_.dialog.maxLength) {
        return std::nullopt;
    }
    screen_.dialog = PhoneDialog{};
    return "*EAII: 11," + text;
}

std::optional<std::string> PhoneModel::key(std::string_view code, bool pressed) {
    const auto& codes = keyCodes();
    if (!screen_.keypadReporting || std::find(codes.begin(), codes.end(), code) == codes.end()) {
        return std::nullopt;
    }
    return "+CKEV: " + std::string(code) + (pressed ? ",1" : ",0");
}

void PhoneModel::noticeDone() {
    if (screen_.dialog.kind == DialogKind::kNotice) {
        screen_.dialog = PhoneDialog{};
    }
}

}  // namespace zintor::web

#include "platform/sim/SimPhone.h"

#include <algorithm>

namespace zintor {

namespace {
const char* const kOk = "\r\nOK\r\n";
const char* const kError = "\r\nERROR\r\n";
}  // namespace

SimPhone::SimPhone(SimEventLoop& loop) : loop_(loop), link_(loop) {
    link_.attach(this);
}

std::vector<std::string> SimPhone::texts() const {
    std::vector<std::string> out;
    out.reserve(lines_.size());
    for (const Line& line : lines_) {
        out.push_back(line.text);
    }
    return out;
}

std::size_t SimPhone::count(std::string_view text) const {
    return static_cast<std::size_t>(std::count_if(
        lines_.begin(), lines_.end(), [&](const Line& line) { return line.text == text; }));
}

PhoneRule& SimPhone::on(std::string line) {
    PhoneRule& rule = rules_.emplace_back();
    rule.match_ = std::move(line);
    return rule;
}

PhoneRule& SimPhone::onPrefix(std::string prefix) {
    PhoneRule& rule = on(std::move(prefix));
    rule.prefix_ = true;
    return rule;
}

PhoneRule* SimPhone::findRule(const std::string& line) {
    for (auto it = rules_.rbegin(); it != rules_.rend(); ++it) {
        if (it->remaining_ == 0) {
            continue;
        }
        bool match =
            it->prefix_ ? line.compare(0, it->match_.size(), it->match_) == 0 : line == it->match_;
        if (match) {
            return &*it;
        }
    }
    return nullptr;
}

void SimPhone::receiveFromLink(std::string_view bytes) {
    for (char c : bytes) {
        if (skipLf_ && c == '\n') {
            skipLf_ = false;
            continue;
        }
        skipLf_ = c == '\r';
        if (c == '\r' || c == '\n') {
            std::string line;
            line.swap(partial_);
            if (!line.empty()) {
                handleLine(line);
            }
        } else {
            partial_ += c;
        }
    }
}

void SimPhone::handleLine(const std::string& line) {
    lines_.push_back(Line{loop_.now(), line});
    if (silent_) {
        return;
    }
    std::string bytes = kOk;
    int delay = delayMs_;
    std::function<void()> then;
    if (PhoneRule* rule = findRule(line)) {
        if (rule->remaining_ > 0) {
            --rule->remaining_;
        }
        switch (rule->answer_) {
            case PhoneRule::Answer::kOk:
                break;
            case PhoneRule::Answer::kError:
                bytes = kError;
                break;
            case PhoneRule::Answer::kNothing:
                bytes.clear();
                break;
            case PhoneRule::Answer::kRaw:
                bytes = rule->bytes_;
                break;
        }
        if (rule->delayMs_ >= 0) {
            delay = rule->delayMs_;
        }
        then = rule->then_;
    }
    loop_.scheduleIn(delay, [this, line, bytes = std::move(bytes), then = std::move(then)] {
        if (silent_) {
            return;
        }
        // Echo as it is when the phone answers (switched while the command waits, it counts).
        link_.deliver(echo_ ? line + "\r" + bytes : bytes);
        if (then) {
            then();
        }
    });
}

void SimPhone::send(std::string_view text) {
    link_.deliver(text);
}

void SimPhone::sendAt(std::int64_t atMs, std::string text) {
    loop_.schedule(atMs, [this, text = std::move(text)] { link_.deliver(text); });
}

void SimPhone::sendAfter(std::int64_t delayMs, std::string text) {
    loop_.scheduleIn(delayMs, [this, text = std::move(text)] { link_.deliver(text); });
}

void SimPhone::sendBreak() {
    link_.raise(SerialEvent::kBreak);
}
void SimPhone::ring() {
    link_.raise(SerialEvent::kRing);
}
void SimPhone::hangUp() {
    link_.raise(SerialEvent::kHangUp);
}
void SimPhone::ctsChange() {
    link_.raise(SerialEvent::kCts);
}
void SimPhone::dsrChange() {
    link_.raise(SerialEvent::kDsr);
}

}  // namespace zintor

#include "platform/sim/PhoneRule.h"

#include <algorithm>
#include <utility>

namespace zintor {

PhoneRule& PhoneRule::ok() {
    answer_ = Answer::kOk;
    return *this;
}

PhoneRule& PhoneRule::error() {
    answer_ = Answer::kError;
    return *this;
}

PhoneRule& PhoneRule::nothing() {
    answer_ = Answer::kNothing;
    return *this;
}

PhoneRule& PhoneRule::reply(std::string line) {
    answer_ = Answer::kRaw;
    bytes_ = "\r\n" + line + "\r\n\r\nOK\r\n";
    return *this;
}

PhoneRule& PhoneRule::replyRaw(std::string raw) {
    answer_ = Answer::kRaw;
    bytes_ = std::move(raw);
    return *this;
}

PhoneRule& PhoneRule::after(int delayMs) {
    delayMs_ = std::max(0, delayMs);
    return *this;
}

PhoneRule& PhoneRule::times(int count) {
    remaining_ = std::max(0, count);
    return *this;
}

PhoneRule& PhoneRule::then(std::function<void()> action) {
    then_ = std::move(action);
    return *this;
}

}  // namespace zintor

#pragma once

#include <functional>
#include <string>

namespace zintor {

// How the simulated phone answers one kind of command line. Made by SimPhone::on / onPrefix and
// set up with the chained calls, e.g. phone.on("AT+cgmm").reply("T610").after(300).
class PhoneRule {
  public:
    enum class Answer { kOk, kError, kNothing, kRaw };

    PhoneRule& ok();                       // "\r\nOK\r\n" (the default)
    PhoneRule& error();                    // "\r\nERROR\r\n"
    PhoneRule& nothing();                  // no answer at all
    PhoneRule& reply(std::string line);    // "\r\n" line "\r\n" then "\r\nOK\r\n"
    PhoneRule& replyRaw(std::string raw);  // exactly these bytes, nothing else
    PhoneRule& after(int delayMs);         // answer delay for this rule
    PhoneRule& times(int count);           // applies to the next `count` lines only
    // Runs right after the answer has been sent (or, for nothing(), when it would have been).
    PhoneRule& then(std::function<void()> action);

  private:
    friend class SimPhone;
    std::string match_;
    bool prefix_ = false;
    Answer answer_ = Answer::kOk;
    std::string bytes_;
    int delayMs_ = -1;    // -1: the phone's default delay
    int remaining_ = -1;  // -1: for ever
    std::function<void()> then_;
};

}  // namespace zintor

#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/PhoneRule.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimSerialLink.h"

namespace zintor {

// The simulated phone on the far end of a SimSerialLink. It cuts what it receives into lines at
// CR (a following LF is skipped; empty lines are ignored), records every line with its virtual
// time, and answers each one after a delay: "\r\nOK\r\n" unless a rule says otherwise. The newest
// matching rule wins; a rule used up by times() steps aside for older ones.
class SimPhone {
  public:
    struct Line {
        std::int64_t atMs;
        std::string text;
    };

    explicit SimPhone(SimEventLoop& loop);
    SimPhone(const SimPhone&) = delete;
    SimPhone& operator=(const SimPhone&) = delete;

    SimSerialLink& link() { return link_; }

    // What the phone received.
    const std::vector<Line>& lines() const { return lines_; }
    std::vector<std::string> texts() const;
    std::size_t count(std::string_view text) const;  // lines equal to `text`
    void clearLines() { lines_.clear(); }

    // How it answers.
    void setAnswerDelay(int ms) { delayMs_ = ms; }
    PhoneRule& on(std::string line);          // rule for lines equal to `line`
    PhoneRule& onPrefix(std::string prefix);  // rule for lines beginning with `prefix`
    void clearRules() { rules_.clear(); }
    void setSilent(bool silent) { silent_ = silent; }  // switched off: answers nothing
    bool silent() const { return silent_; }
    // Echo each line back ("AT\r") in front of its answer (or in its place, for nothing()).
    void setEcho(bool echo) { echo_ = echo; }
    bool echo() const { return echo_; }

    // What it sends by itself. Texts are sent as given: add "\r\n" where the phone would.
    void send(std::string_view text);                        // now
    void sendAt(std::int64_t atMs, std::string text);        // at virtual time atMs
    void sendAfter(std::int64_t delayMs, std::string text);  // delayMs from now
    void sendBreak();
    void ring();
    void hangUp();  // the device goes away: the PC's port is closed and told so
    void ctsChange();
    void dsrChange();
    // "+CKEV: <code>,1\r\n" and "+CKEV: <code>,0\r\n".

    // Called by the link with the bytes the PC wrote.
    void receiveFromLink(std::string_view bytes);

  private:
    void handleLine(const std::string& line);
    PhoneRule* findRule(const std::string& line);

    SimEventLoop& loop_;
    SimSerialLink link_;
    std::vector<Line> lines_;
    std::string partial_;
    bool skipLf_ = false;
    int delayMs_ = 20;
    bool silent_ = false;
    bool echo_ = false;
    std::deque<PhoneRule> rules_;
};

}  // namespace zintor

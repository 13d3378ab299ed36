// Where each line from the phone goes: the first row whose line and mode condition match decides.

#include <array>
#include <string_view>

#include "link/Link.h"
#include "link/LinkImpl.h"

namespace zintor {

namespace {

enum class Match {
    Whole,   // the whole line equals the text (or the second text)
    Prefix,  // the line begins with the text
};

// What a routing action may touch.
struct Route {
    Link::Impl& impl;
    Link& link;
    ProgramState& state;
    Procedures& procedures;
    SerialLink& serial;
};

using Condition = bool (*)(const ProgramState&);
using Action = void (*)(Route&, const std::string&);

struct Row {
    Match match;
    const char* text;
    const char* otherText;  // a second whole line that matches too, or nullptr
    Condition condition;
    Action action;
};

bool always(const ProgramState&) {
    return true;
}

template <ModeIndex flag>
bool inMode(const ProgramState& s) {
    return s.modeFlags[flag];
}

bool inNoMode(const ProgramState& s) {
    return noModeActive(s);
}

bool inErrorOrAbout(const ProgramState& s) {
    return s.modeFlags[ModeErrorPopUp] || s.modeFlags[ModeAbout];
}

void answerOk(Route& l, const std::string&) {
    l.state.answerOk = true;
    l.state.answerReceived = true;
}

void closeErrorPopUp(Route& l, const std::string& line) {
    l.procedures.errorMessage(line, 0, 1);
}
void closeAbout(Route& l, const std::string&) {
    l.procedures.aboutMenuSelected(false);
}
void menuSelection(Route& l, const std::string& line) {
    l.procedures.handleMenuSelection(line);
}
void mainMenuChoice(Route& l, const std::string& line) {
    l.procedures.selectMainMenu(line);
}
void usbChoice(Route& l, const std::string& line) {
    l.procedures.usbMenuChoice(line);
}
void applicationChoice(Route& l, const std::string& line) {
    l.procedures.applicationMenuSelected(line);
}
void resetUi(Route& l, const std::string&) {
    l.procedures.resetPhoneUi();
}
void inputText(Route& l, const std::string& line) {
    l.procedures.handleInputText(line);
}
void winampMenuChoice(Route& l, const std::string& line) {
    l.procedures.winampMenuSelected(line);
}
void backToMouse(Route& l, const std::string&) {
    l.procedures.moveMouseSelected();
}
void winampStatusChoice(Route& l, const std::string& line) {
    l.procedures.winampStatusMenuSelected(line);
}

// Receive events come back on before a key is handled, so that its release, received nested,
// can end a hold-to-repeat loop. A release that came in the same burst as the press is already
// in rxBuffer, and no new byte would raise an event for it: one is posted for it instead. Key
// traffic is a sign of life, as long as the link it came on is still there.
void keyLine(Route& l, const std::string& line, void (Procedures::*handler)(const std::string&)) {
    l.serial.setReceiveArmed(true);
    l.impl.postReceiveForPendingLines();
    (l.procedures.*handler)(line);
    if (l.state.connected) {
        l.link.resetTimer(5, 0);
    }
}

void keyControlKey(Route& l, const std::string& line) {
    keyLine(l, line, &Procedures::keyControlKeyEvent);
}
void winampStatusKey(Route& l, const std::string& line) {
    keyLine(l, line, &Procedures::winampStatusKeyEvent);
}

constexpr std::array<Row, 20> kRoutes{{
    {Match::Whole, "OK", nullptr, always, answerOk},
    {Match::Whole, "*EAII: 1,1", "*EAII: 0", inMode<ModeErrorPopUp>, closeErrorPopUp},
    {Match::Whole, "*EAII: 1,1", "*EAII: 0", inMode<ModeAbout>, closeAbout},
    {Match::Whole, "*EAAI", nullptr, always, menuSelection},
    {Match::Prefix, "*EAMI: ", nullptr, inNoMode, mainMenuChoice},
    {Match::Prefix, "*EAMI: ", nullptr, inMode<ModeUSBMenu>, usbChoice},
    {Match::Prefix, "*EAMI: ", nullptr, inMode<ModeApplicationMenu>, applicationChoice},
    {Match::Whole, "*EAMI", nullptr, always, resetUi},
    {Match::Whole, "*EAII: 0", nullptr, inMode<ModeKeyControl>, menuSelection},
    {Match::Whole, "*EAII", nullptr, inMode<ModeKeyControl>, resetUi},
    {Match::Whole, "*EAII", nullptr, inErrorOrAbout, resetUi},
    {Match::Prefix, "+CKEV: ", nullptr, inMode<ModeKeyControl>, keyControlKey},
    {Match::Prefix, "+CKEV: ", nullptr, inMode<ModeWinampStatus>, winampStatusKey},
    {Match::Prefix, "*EAII: 11,", nullptr, inMode<ModeTextInput>, inputText},
    {Match::Whole, "*EAII", nullptr, inMode<ModeTextInput>, resetUi},
    {Match::Prefix, "*EAMI: ", nullptr, inMode<ModeWinampMenu>, winampMenuChoice},
    {Match::Whole, "*EAII: 0", nullptr, inMode<ModeTextInput>, backToMouse},
    {Match::Whole, "*EAII: 0", nullptr, inMode<ModeWinampStatus>, winampStatusChoice},
    {Match::Whole, "*EAII: 14,1", nullptr, inMode<ModeWinampStatus>, winampStatusChoice},
    {Match::Whole, "*EAII", nullptr, inMode<ModeWinampStatus>, resetUi},
}};

bool lineMatches(const Row& row, std::string_view line) {
    if (row.match == Match::Prefix) {
        return line.starts_with(row.text);
    }
    return line == row.text || (row.otherText != nullptr && line == row.otherText);
}

}  // namespace

void Link::Impl::routeLine(const std::string& line) {
    // While the program shuts down only the answers to its last commands count.
    if (stopping && line != "OK") {
        return;
    }
    for (const Row& row : kRoutes) {
        if (lineMatches(row, line) && row.condition(state)) {
            Route route{*this, link, state, procedures, ports.serial};
            row.action(route, line);
            return;
        }
    }
}

}  // namespace zintor

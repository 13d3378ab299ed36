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

bool Always(const ProgramState&) {
    return true;
}

template <ModeIndex flag>
bool InMode(const ProgramState& s) {
    return s.ModeFlags[flag];
}

bool InNoMode(const ProgramState& s) {
    return NoModeActive(s);
}

bool InErrorOrAbout(const ProgramState& s) {
    return s.ModeFlags[ModeErrorPopUp] || s.ModeFlags[ModeAbout];
}

void AnswerOk(Route& l, const std::string&) {
    l.state.AnswerOK = true;
    l.state.AnswerReceived = true;
}

void CloseErrorPopUp(Route& l, const std::string& line) {
    l.procedures.ErrorMessage(line, 0, 1);
}
void CloseAbout(Route& l, const std::string&) {
    l.procedures.AboutMenuSelected(false);
}
void MenuSelection(Route& l, const std::string& line) {
    l.procedures.HandleMenuSelection(line);
}
void MainMenuChoice(Route& l, const std::string& line) {
    l.procedures.SelectMainMenu(line);
}
void UsbChoice(Route& l, const std::string& line) {
    l.procedures.USBMenuChoice(line);
}
void ApplicationChoice(Route& l, const std::string& line) {
    l.procedures.ApplicationMenuSelected(line);
}
void ResetUi(Route& l, const std::string&) {
    l.procedures.ResetPhoneUI();
}
void InputText(Route& l, const std::string& line) {
    l.procedures.HandleInputText(line);
}
void WinampMenuChoice(Route& l, const std::string& line) {
    l.procedures.WinAMP_Menu_Selected(line);
}
void BackToMouse(Route& l, const std::string&) {
    l.procedures.MoveMouseSelected();
}
void WinampStatusChoice(Route& l, const std::string& line) {
    l.procedures.WinAMP_Status_Menu_Selected(line);
}

// Receive events come back on before a key is handled, so that its release, received nested,
// can end a hold-to-repeat loop. A release that came in the same burst as the press is already
// in RxBuffer, and no new byte would raise an event for it: one is posted for it instead. Key
// traffic is a sign of life, as long as the link it came on is still there.
void KeyLine(Route& l, const std::string& line, void (Procedures::*handler)(const std::string&)) {
    l.serial.setReceiveArmed(true);
    l.impl.PostReceiveForPendingLines();
    (l.procedures.*handler)(line);
    if (l.state.Connected) {
        l.link.ResetTimer(5, 0);
    }
}

void KeyControlKey(Route& l, const std::string& line) {
    KeyLine(l, line, &Procedures::KeyControlKeyEvent);
}
void WinampStatusKey(Route& l, const std::string& line) {
    KeyLine(l, line, &Procedures::WinampStatusKeyEvent);
}

constexpr std::array<Row, 20> kRoutes{{
    {Match::Whole, "OK", nullptr, Always, AnswerOk},
    {Match::Whole, "*EAII: 1,1", "*EAII: 0", InMode<ModeErrorPopUp>, CloseErrorPopUp},
    {Match::Whole, "*EAII: 1,1", "*EAII: 0", InMode<ModeAbout>, CloseAbout},
    {Match::Whole, "*EAAI", nullptr, Always, MenuSelection},
    {Match::Prefix, "*EAMI: ", nullptr, InNoMode, MainMenuChoice},
    {Match::Prefix, "*EAMI: ", nullptr, InMode<ModeUSBMenu>, UsbChoice},
    {Match::Prefix, "*EAMI: ", nullptr, InMode<ModeApplicationMenu>, ApplicationChoice},
    {Match::Whole, "*EAMI", nullptr, Always, ResetUi},
    {Match::Whole, "*EAII: 0", nullptr, InMode<ModeKeyControl>, MenuSelection},
    {Match::Whole, "*EAII", nullptr, InMode<ModeKeyControl>, ResetUi},
    {Match::Whole, "*EAII", nullptr, InErrorOrAbout, ResetUi},
    {Match::Prefix, "+CKEV: ", nullptr, InMode<ModeKeyControl>, KeyControlKey},
    {Match::Prefix, "+CKEV: ", nullptr, InMode<ModeWinampStatus>, WinampStatusKey},
    {Match::Prefix, "*EAII: 11,", nullptr, InMode<ModeTextInput>, InputText},
    {Match::Whole, "*EAII", nullptr, InMode<ModeTextInput>, ResetUi},
    {Match::Prefix, "*EAMI: ", nullptr, InMode<ModeWinampMenu>, WinampMenuChoice},
    {Match::Whole, "*EAII: 0", nullptr, InMode<ModeTextInput>, BackToMouse},
    {Match::Whole, "*EAII: 0", nullptr, InMode<ModeWinampStatus>, WinampStatusChoice},
    {Match::Whole, "*EAII: 14,1", nullptr, InMode<ModeWinampStatus>, WinampStatusChoice},
    {Match::Whole, "*EAII", nullptr, InMode<ModeWinampStatus>, ResetUi},
}};

bool LineMatches(const Row& row, std::string_view line) {
    if (row.match == Match::Prefix) {
        return line.starts_with(row.text);
    }
    return line == row.text || (row.otherText != nullptr && line == row.otherText);
}

}  // namespace

void Link::Impl::RouteLine(const std::string& line) {
    // While the program shuts down only the answers to its last commands count.
    if (stopping && line != "OK") {
        return;
    }
    for (const Row& row : kRoutes) {
        if (LineMatches(row, line) && row.condition(state)) {
            Route route{*this, link, state, procedures, ports.serial};
            row.action(route, line);
            return;
        }
    }
}

}  // namespace zintor

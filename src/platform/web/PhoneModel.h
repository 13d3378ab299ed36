#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintor::web {

// What the phone shows of the accessory session. Texts are UTF-8.
struct PhoneMenu {
    std::string title;
    int highlighted = 1;  // from 1
    std::vector<std::string> items;
};

// (Names clear of the macros of X11 headers: None, Status.)
enum class DialogKind { kNoDialog, kNotice, kPopUp, kInputBox, kStatusText };

struct PhoneDialog {
    DialogKind kind = DialogKind::kNoDialog;
    std::string title;  // input box: its label; status dialog: its title
    std::string text;   // notice, pop-up and status text; input box: the prompt
    int timeoutMs = 0;  // pop-up and notice: how long they stay; 0 for the others
    int maxLength = 0;  // input box: longest text the user may enter
};

struct PhoneScreen {
    std::string entry;  // the registered accessory entry ("" while there is none)
    std::optional<PhoneMenu> menu;
    PhoneDialog dialog;
    bool keypadReporting = false;
};

// The phone side of the accessory AT dialect. It answers each command line as such a phone does
// ("OK", the model for AT+cgmm, "ERROR" for what a phone refuses), keeps what the phone shows,
// and turns the user's actions into the lines the phone sends. It has no clock and no I/O: the
// face that uses it (the web page, the terminal) shows the screen and runs the time-outs.
class PhoneModel {
  public:
    static constexpr const char* kModelName = "Zintor Virtual Phone";
    static constexpr int kNoticeMs = 2000;         // how long a timed notice stays
    static constexpr std::size_t kMaxInput = 100;  // input box limit when the command gives none
    // Key codes the keypad can send, as in "+CKEV: <code>,1".
    static const std::vector<std::string>& keyCodes();

    // The reply to one command line (given without its CR LF), framed as the phone frames it:
    // "\r\nOK\r\n", information lines before it, or "\r\nERROR\r\n".
    std::string answer(std::string_view command);

    const PhoneScreen& screen() const { return screen_; }
    // Forgets the session: nothing registered, nothing shown, reporting off.
    void reset() { screen_ = PhoneScreen{}; }

    // The user's actions. Each gives the line the phone sends (without CR LF), or nothing when
    // the action makes no sense on the current screen (then the screen stays as it was).
    std::optional<std::string> openEntry();           // *EAAI
    std::optional<std::string> chooseItem(int item);  // *EAMI: n
    std::optional<std::string> leaveMenu();           // *EAMI
    std::optional<std::string> answerDialog();        // *EAII: 1,1 / *EAII: 14,1
    std::optional<std::string> closeDialog();         // *EAII: 0 (also ends the key mode)
    std::optional<std::string> endSession();          // *EAII
    std::optional<std::string> enterText(std::string_view utf8);          // *EAII: 11,<text>
    std::optional<std::string> key(std::string_view code, bool pressed);  // +CKEV: k,1 / k,0
    // A timed notice ran out (sends nothing).
    void noticeDone();

  private:
    bool handle(std::string_view upper, std::string_view args);

    PhoneScreen screen_;
};

}  // namespace zintor::web

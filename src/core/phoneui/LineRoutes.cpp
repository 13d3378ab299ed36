#include "phoneui/LineRoutes.h"

#include "phoneui/PhoneMenus.h"

namespace zintor {

namespace {

LineRoute row(LineRoute::Match match, std::string text, std::string otherText,
              std::function<bool()> when, std::function<Task<void>(std::string)> handle,
              bool keypad = false) {
    return {match,           std::move(text),   std::move(otherText),
            std::move(when), std::move(handle), keypad};
}

}  // namespace

std::vector<LineRoute> phoneLineRoutes(PhoneMenus& menus, const ProgramState& state,
                                       const OtherScreens& others) {
    using enum LineRoute::Match;
    const auto always = [] { return true; };
    const auto in = [&state](ModeIndex mode) {
        return [&state, mode] { return state.modeFlags[mode]; };
    };
    const auto inNoMode = [&state] { return noModeActive(state); };
    const auto inErrorOrAbout = [&state] {
        return state.modeFlags[ModeErrorPopUp] || state.modeFlags[ModeAbout];
    };
    using Line = std::string;
    const auto closeErrorPopUp = [&menus](Line line) { return menus.errorMessage(line, 0, 1); };
    const auto closeAbout = [&menus](Line) { return menus.aboutMenuSelected(false); };
    const auto menuSelection = [&menus](Line line) { return menus.handleMenuSelection(line); };
    const auto mainMenuChoice = [&menus](Line line) { return menus.selectMainMenu(line); };
    const auto usbChoice = [&menus](Line line) { return menus.usbMenuChoice(line); };
    const auto applicationChoice = [&menus](Line line) {
        return menus.applicationMenuSelected(line);
    };
    const auto resetUi = [&menus](Line) { return menus.resetPhoneUi(); };
    const auto inputText = [&menus](Line line) { return menus.handleInputText(line); };
    const auto backToMouse = [&menus](Line) { return menus.moveMouseSelected(); };
    constexpr bool kKeypad = true;

    return {
        row(Whole, "*EAII: 1,1", "*EAII: 0", in(ModeErrorPopUp), closeErrorPopUp),
        row(Whole, "*EAII: 1,1", "*EAII: 0", in(ModeAbout), closeAbout),
        row(Whole, "*EAAI", "", always, menuSelection),
        row(Prefix, "*EAMI: ", "", inNoMode, mainMenuChoice),
        row(Prefix, "*EAMI: ", "", in(ModeUSBMenu), usbChoice),
        row(Prefix, "*EAMI: ", "", in(ModeApplicationMenu), applicationChoice),
        row(Whole, "*EAMI", "", always, resetUi),
        row(Whole, "*EAII: 0", "", in(ModeKeyControl), menuSelection),
        row(Whole, "*EAII", "", in(ModeKeyControl), resetUi),
        row(Whole, "*EAII", "", inErrorOrAbout, resetUi),
        row(Prefix, "+CKEV: ", "", in(ModeKeyControl), others.keyControlKey, kKeypad),
        row(Prefix, "+CKEV: ", "", in(ModeWinampStatus), others.playerStatusKey, kKeypad),
        row(Prefix, "*EAII: 11,", "", in(ModeTextInput), inputText),
        row(Whole, "*EAII", "", in(ModeTextInput), resetUi),
        row(Prefix, "*EAMI: ", "", in(ModeWinampMenu), others.playerMenuChoice),
        row(Whole, "*EAII: 0", "", in(ModeTextInput), backToMouse),
        row(Whole, "*EAII: 0", "", in(ModeWinampStatus), others.playerStatusChoice),
        row(Whole, "*EAII: 14,1", "", in(ModeWinampStatus), others.playerStatusChoice),
        row(Whole, "*EAII", "", in(ModeWinampStatus), resetUi),
    };
}

}  // namespace zintor

#pragma once

// The phone menus on the simulated world: the real link and its dispatcher, a simulated phone,
// and a Procedures that hands the phone-screen procedures to PhoneMenus and records every call
// that would leave the menus (typing, key help, the media player screens, key events).

#include <memory>
#include <string>
#include <vector>

#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "link/Link.h"
#include "phoneui/PhoneMenus.h"
#include "platform/sim/SimWorld.h"

namespace zintor::testing {

class MenuProcedures : public Procedures {
  public:
    PhoneMenus* menus = nullptr;
    std::vector<std::string> others;  // calls that leave the menus, in order

    void ErrorMessage(const std::string& s, int t, int i) override { menus->ErrorMessage(s, t, i); }
    void HandleInputText(const std::string& line) override { menus->HandleInputText(line); }
    void ShowMainMenu(const std::string& item) override { menus->ShowMainMenu(item); }
    void SelectMainMenu(const std::string& line) override { menus->SelectMainMenu(line); }
    void HandleMenuSelection(const std::string& line) override { menus->HandleMenuSelection(line); }
    void ResetPhoneUI() override { menus->ResetPhoneUI(); }
    void ApplicationMenuSelected(const std::string& text) override {
        menus->ApplicationMenuSelected(text);
    }
    void MoveMouseSelected() override { menus->MoveMouseSelected(); }
    void USBMenuSelected(const std::string& text) override { menus->USBMenuSelected(text); }
    void USBMenuChoice(const std::string& line) override { menus->USBMenuChoice(line); }
    void AboutMenuSelected(bool show) override { menus->AboutMenuSelected(show); }

    void WinAMP_Menu_Selected(const std::string& t) override { note("WinAMP_Menu_Selected " + t); }
    void WinAMP_Status_Menu_Selected(const std::string& t) override {
        note("WinAMP_Status_Menu_Selected " + t);
    }
    void WinAMP_Execute(int command) override { note("WinAMP_Execute " + std::to_string(command)); }
    void KeyControlKeyEvent(const std::string& line) override {
        note("KeyControlKeyEvent " + line);
    }
    void WinampStatusKeyEvent(const std::string& line) override {
        note("WinampStatusKeyEvent " + line);
    }
    void TypeText(const std::string& text) override { note("TypeText " + text); }
    void CloseKeyHelp() override { note("CloseKeyHelp"); }
    void TrayIconAnimate() override {}

  private:
    void note(std::string call) { others.push_back(std::move(call)); }
};

struct MenuConfig {
    bool winamp = false;
    bool usb = false;
};

class MenuRig {
  public:
    explicit MenuRig(MenuConfig config = {}) {
        state.ComPort = 1;
        if (config.winamp) {
            state.AppPath[9] = "/opt/winamp/winamp";
        }
        state.USBBoardPresent = config.usb;
        link = std::make_unique<Link>(state, ports, procedures);
        menus = std::make_unique<PhoneMenus>(state, ports, *link, procedures);
        procedures.menus = menus.get();
    }

    // Connects: the phone gets the accessory entry and the main menu.
    void connect() {
        link->ConnectPhone();
        world.loop.runFor(500);
    }

    // The phone sends `line` (CR LF added); returns the lines the PC sent in answer, without the
    // supervision's own "AT" probes.
    std::vector<std::string> say(const std::string& line) {
        world.phone.clearLines();
        world.phone.send(line + "\r\n");
        world.loop.runFor(1500);
        std::vector<std::string> sent;
        for (const std::string& text : world.phone.texts()) {
            if (text != "AT") {
                sent.push_back(text);
            }
        }
        return sent;
    }

    bool onlyFlag(int index) const {
        for (int i = 0; i < 8; ++i) {
            if (state.ModeFlags[static_cast<std::size_t>(i)] != (i == index)) {
                return false;
            }
        }
        return true;
    }

    SimWorld world;
    Ports ports = world.ports();
    ProgramState state;
    MenuProcedures procedures;
    std::unique_ptr<Link> link;
    std::unique_ptr<PhoneMenus> menus;
};

using Lines = std::vector<std::string>;

}  // namespace zintor::testing

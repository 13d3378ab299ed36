#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "control/KeyControl.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {

// The cross-part calls as Program makes them for the key control: key lines and typing go to
// the KeyControl under test, everything else is recorded as "Name(argument)". A test may give
// WinAMP_Execute a behaviour.
class KeyProcedures : public Procedures {
  public:
    KeyControl* keys = nullptr;
    std::vector<std::string> calls;
    std::function<void(int)> onWinampExecute;

    void ErrorMessage(const std::string& s, int t, int i) override {
        record("ErrorMessage", s + "," + std::to_string(t) + "," + std::to_string(i));
    }
    void HandleInputText(const std::string& line) override { record("HandleInputText", line); }
    void ShowMainMenu(const std::string& item) override { record("ShowMainMenu", item); }
    void SelectMainMenu(const std::string& line) override { record("SelectMainMenu", line); }
    void HandleMenuSelection(const std::string& l) override { record("HandleMenuSelection", l); }
    void ResetPhoneUI() override { record("ResetPhoneUI", ""); }
    void ApplicationMenuSelected(const std::string& t) override { record("AppMenu", t); }
    void MoveMouseSelected() override { record("MoveMouseSelected", ""); }
    void USBMenuSelected(const std::string& text) override { record("USBMenuSelected", text); }
    void USBMenuChoice(const std::string& line) override { record("USBMenuChoice", line); }
    void AboutMenuSelected(bool show) override { record("About", show ? "1" : "0"); }
    void WinAMP_Menu_Selected(const std::string& t) override { record("WinAMP_Menu", t); }
    void WinAMP_Status_Menu_Selected(const std::string& t) override { record("WinAMP_Status", t); }
    void WinAMP_Execute(int command) override {
        record("WinAMP_Execute", std::to_string(command));
        if (onWinampExecute) {
            onWinampExecute(command);
        }
    }
    // Key lines, each with the virtual time its handler returned ("2010 +CKEV: #,1").
    std::vector<std::string> keyReturns;
    const SimEventLoop* loop = nullptr;

    void KeyControlKeyEvent(const std::string& line) override {
        keys->KeyControlKeyEvent(line);
        keyReturns.push_back(std::to_string(loop->now()) + " " + line);
    }
    void WinampStatusKeyEvent(const std::string& line) override {
        keys->WinampStatusKeyEvent(line);
        keyReturns.push_back(std::to_string(loop->now()) + " " + line);
    }
    void TypeText(const std::string& text) override { keys->TypeText(text); }
    void CloseKeyHelp() override { keys->CloseKeyHelp(); }
    void TrayIconAnimate() override {}

  private:
    void record(const std::string& name, const std::string& argument) {
        calls.push_back(name + "(" + argument + ")");
    }
};

// The desktop's window reports, forwarded as Program forwards them.
class KeyWindowEvents : public DesktopEvents {
  public:
    explicit KeyWindowEvents(KeyControl& keys) : keys_(keys) {}
    void connectClicked() override {}
    void portChosen(int) override {}
    void autoConnectClicked() override {}
    void settingsClicked() override {}
    void exitClicked() override {}
    void refreshPortsClicked() override {}
    void enumeratePortsClicked() override {}
    void mouseSpeedChanged(int) override {}
    void keyHelpClosed() override { keys_.KeyHelpClosed(); }
    void noticeClosed() override { keys_.NoticeClosed(); }

  private:
    KeyControl& keys_;
};

// The key control on the simulated world with the real link, connected and in key-control mode.
// Key lines travel from the simulated phone through the link's dispatcher, as in the program.
class KeyRig : public ::testing::Test {
  protected:
    KeyRig() {
        procedures.keys = &keys;
        procedures.loop = &world.loop;
        world.desktop.setListener(&events);
        state.KeyNames = {"Key 0", "Key 1", "Key 2", "Key 3", "Key 4",     "Key 5",
                          "Key 6", "Key 7", "Key 8", "Key 9", "Volume Up", "Volume Down",
                          "Clear", "*",     "#",     "WAP",   "Camera",    "Back",
                          "",      "",      "",      "",      "Left",      "Right"};
        EXPECT_TRUE(link.ConnectPhone());
        state.ModeFlags[ModeKeyControl] = true;
        world.phone.clearLines();
        world.input.clear();
        world.desktop.clearCalls();
        procedures.calls.clear();
    }

    SimWorld world;
    Ports ports = world.ports();
    ProgramState state;
    KeyProcedures procedures;
    Link link{state, ports, procedures};
    KeyControl keys{state, ports, link, procedures};
    KeyWindowEvents events{keys};

    std::int64_t now() const { return world.loop.now(); }

    // Key maps named `names`, each with no commands.
    void UseKeyMaps(const std::vector<std::string>& names) {
        state.KeyMaps.clear();
        for (const std::string& name : names) {
            KeyMap map;
            map.Name = name;
            state.KeyMaps.push_back(map);
        }
        state.CurrentKeyMap = 0;
    }

    // One key map whose key `key` runs `commands`.
    void Bind(int key, std::vector<KeyCommand> commands) {
        if (state.KeyMaps.empty()) {
            UseKeyMaps({"Test"});
        }
        state.KeyMaps[0].Keys[static_cast<std::size_t>(key)].Commands = std::move(commands);
    }

    // The phone reports key `code` pressed at `downMs` and released at `upMs` (virtual time).
    void Hold(const std::string& code, std::int64_t downMs, std::int64_t upMs) {
        world.phone.sendAt(downMs, "+CKEV: " + code + ",1\r\n");
        world.phone.sendAt(upMs, "+CKEV: " + code + ",0\r\n");
    }

    // Injection calls as "time text".
    std::vector<std::string> TimedInput() const {
        std::vector<std::string> out;
        for (const auto& call : world.input.timedCalls()) {
            out.push_back(std::to_string(call.atMs) + " " + call.text);
        }
        return out;
    }

    // Injection calls equal to `text`, with their times.
    std::vector<std::int64_t> TimesOf(const std::string& text) const {
        std::vector<std::int64_t> out;
        for (const auto& call : world.input.timedCalls()) {
            if (call.text == text) {
                out.push_back(call.atMs);
            }
        }
        return out;
    }
};

inline KeyCommand Command(std::int32_t type, std::int32_t code = 0, std::string text = {},
                          std::int32_t value = 0) {
    KeyCommand c;
    c.Type = type;
    c.Code = code;
    c.Text = std::move(text);
    c.Value = value;
    return c;
}

}  // namespace zintor

#pragma once

#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Procedures.h"
#include "app/ProgramState.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"

namespace zintor {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

// Records every cross-part call as "Name(argument)" and its virtual time. A test may give a call
// a behaviour (`on["SelectMainMenu"] = ...`), which runs after the call is recorded.
class RecordingProcedures : public Procedures {
  public:
    using S = const std::string&;
    explicit RecordingProcedures(const SimEventLoop& loop) : loop_(loop) {}

    Lines calls;
    std::vector<std::int64_t> times;
    std::map<std::string, std::function<void(S)>> on;
    void clear() { calls.clear(), times.clear(); }

    void ErrorMessage(S sInput, int lTimeOut, int iSelect) override {
        record("ErrorMessage",
               sInput + "," + std::to_string(lTimeOut) + "," + std::to_string(iSelect));
    }
    void HandleInputText(S line) override { record("HandleInputText", line); }
    void ShowMainMenu(S item) override { record("ShowMainMenu", item); }
    void SelectMainMenu(S line) override { record("SelectMainMenu", line); }
    void HandleMenuSelection(S line) override { record("HandleMenuSelection", line); }
    void ResetPhoneUI() override { record("ResetPhoneUI", ""); }
    void ApplicationMenuSelected(S text) override { record("ApplicationMenuSelected", text); }
    void MoveMouseSelected() override { record("MoveMouseSelected", ""); }
    void USBMenuSelected(S text) override { record("USBMenuSelected", text); }
    void USBMenuChoice(S line) override { record("USBMenuChoice", line); }
    void AboutMenuSelected(bool show) override {
        record("AboutMenuSelected", show ? "true" : "false");
    }
    void WinAMP_Menu_Selected(S text) override { record("WinAMP_Menu_Selected", text); }
    void WinAMP_Status_Menu_Selected(S text) override {
        record("WinAMP_Status_Menu_Selected", text);
    }
    void WinAMP_Execute(int command) override { record("WinAMP_Execute", std::to_string(command)); }
    void KeyControlKeyEvent(S line) override { record("KeyControlKeyEvent", line); }
    void WinampStatusKeyEvent(S line) override { record("WinampStatusKeyEvent", line); }
    void TypeText(S text) override { record("TypeText", text); }
    void CloseKeyHelp() override { record("CloseKeyHelp", ""); }
    void TrayIconAnimate() override {}  // slot 4 ticks every 200 ms while connected

  private:
    void record(S name, S argument) {
        calls.push_back(name + "(" + argument + ")");
        times.push_back(loop_.now());
        if (auto it = on.find(name); it != on.end()) {
            it->second(argument);
        }
    }
    const SimEventLoop& loop_;
};

// A link on the simulated world, with the diagnostic log switched on so tests can read it.
class LinkTest : public ::testing::Test {
  protected:
    using S = const std::string&;
    LinkTest() {
        state.LogEnabled = true;
        link.InitLog();
    }

    SimWorld world;
    Ports ports = world.ports();
    ProgramState state;
    RecordingProcedures procedures{world.loop};
    Link link{state, ports, procedures};

    SimPhone& phone() { return world.phone; }
    SimSerialLink& serial() { return world.serial(); }
    std::int64_t now() const { return world.loop.now(); }

    // Connects on ComPort and forgets what that conversation wrote and recorded.
    void Connect() {
        ASSERT_TRUE(link.ConnectPhone());
        phone().clearLines();
        procedures.clear();
        world.desktop.clearCalls();
        logStart_ = LogMessages().size();
    }

    // The message texts of the log (after date and time) since Connect().
    Lines Log() const {
        auto all = LogMessages();
        return {all.begin() + static_cast<std::ptrdiff_t>(logStart_), all.end()};
    }

    Lines LogMessages() const {
        Lines messages;
        std::string line;
        for (char c : world.files.contents(state.LogFileName)) {
            if (c == '\n') {
                line.pop_back();  // CR
                messages.push_back(line.substr(line.find('\t', line.find('\t') + 1) + 1));
                line.clear();
            } else {
                line += c;
            }
        }
        return messages;
    }

    // What the phone received, each line with its time: "120 AT*EAM=\"Zintor\"".
    Lines PhoneLinesWithTimes() const {
        Lines out;
        for (const auto& line : world.phone.lines()) {
            out.push_back(std::to_string(line.atMs) + " " + line.text);
        }
        return out;
    }
    Lines PhoneTexts() const { return world.phone.texts(); }

    bool AnyTimerRunning() const {
        for (int slot = 0; slot < 6; ++slot) {
            if (link.TimerRunning(slot)) {
                return true;
            }
        }
        return false;
    }

  private:
    std::size_t logStart_ = 0;
};

// The lines starting with `start`.
inline Lines Matching(const Lines& lines, const std::string& start) {
    Lines out;
    for (const auto& line : lines) {
        if (line.starts_with(start)) {
            out.push_back(line);
        }
    }
    return out;
}

}  // namespace zintor

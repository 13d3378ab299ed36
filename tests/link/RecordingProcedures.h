#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Procedures.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {

// Records every cross-part call as "Name(argument)" with its virtual time. A test may give a call
// a behaviour (`on["SelectMainMenu"] = ...`), which runs after the call is recorded.
class RecordingProcedures : public Procedures {
  public:
    struct Call {
        std::int64_t atMs;
        std::string text;
    };

    explicit RecordingProcedures(const SimEventLoop& loop) : loop_(loop) {}

    std::vector<Call> calls;
    std::map<std::string, std::function<void(const std::string&)>> on;

    std::vector<std::string> texts() const;
    void clear() { calls.clear(); }

    void ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) override;
    void HandleInputText(const std::string& line) override { record("HandleInputText", line); }
    void ShowMainMenu(const std::string& item) override { record("ShowMainMenu", item); }
    void SelectMainMenu(const std::string& line) override { record("SelectMainMenu", line); }
    void HandleMenuSelection(const std::string& line) override {
        record("HandleMenuSelection", line);
    }
    void ResetPhoneUI() override { record("ResetPhoneUI", ""); }
    void ApplicationMenuSelected(const std::string& text) override {
        record("ApplicationMenuSelected", text);
    }
    void MoveMouseSelected() override { record("MoveMouseSelected", ""); }
    void USBMenuSelected(const std::string& text) override { record("USBMenuSelected", text); }
    void USBMenuChoice(const std::string& line) override { record("USBMenuChoice", line); }
    void AboutMenuSelected(bool show) override {
        record("AboutMenuSelected", show ? "true" : "false");
    }
    void WinAMP_Menu_Selected(const std::string& text) override {
        record("WinAMP_Menu_Selected", text);
    }
    void WinAMP_Status_Menu_Selected(const std::string& text) override {
        record("WinAMP_Status_Menu_Selected", text);
    }
    void WinAMP_Execute(int command) override { record("WinAMP_Execute", std::to_string(command)); }
    void KeyControlKeyEvent(const std::string& line) override {
        record("KeyControlKeyEvent", line);
    }
    void WinampStatusKeyEvent(const std::string& line) override {
        record("WinampStatusKeyEvent", line);
    }
    void TypeText(const std::string& text) override { record("TypeText", text); }
    void CloseKeyHelp() override { record("CloseKeyHelp", ""); }
    // Counted, not recorded: slot 4 ticks every 200 ms while connected.
    void TrayIconAnimate() override { ++animations; }
    int animations = 0;

  private:
    void record(const std::string& name, const std::string& argument);

    const SimEventLoop& loop_;
};

}  // namespace zintor

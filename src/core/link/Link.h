#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Ports.h"
#include "app/Procedures.h"
#include "app/ProgramState.h"

namespace zintor {

// The phone link: the serial session, AT commands with their answers, the line dispatcher, the
// six timer slots and the connection supervision, the serial port list, the settings and the
// diagnostic log. Other parts talk to the phone only through this class.
//
// The implementation is split over several files in this folder; this is the face the rest of
// the program uses.
class Link {
  public:
    Link(ProgramState& state, Ports& ports, Procedures& procedures);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // AT transport. `toSend` is the whole line including CR LF.
    bool Send(const std::string& toSend, std::int32_t lTimeOut);
    bool OpenComPort(std::int16_t& nPort);
    void DisconnectCOM();
    void AT_CMER(bool bStatus);
    bool ConnectPhone();
    void Wait(float seconds);

    // Accessory UI commands (one AT line each).
    void UI_SubMenu(const std::string& sTitle, int iSelected,
                    const std::vector<std::string>& items);
    void UI_TimedFeedBack(const std::string& sName);
    void UI_PopUp(const std::string& sText, std::int32_t lTimeOut);
    void RegisterAccessoryMenu();
    void ShowTextInputDialog();

    // Timer slots 0..5.
    void ResetTimer(int index, std::int32_t lTimeOut);
    void DisableTimer(int index);
    bool TimerRunning(int index) const;

    // Supervision, automatic connection and the tray menu's link items.
    void AutoConnectPhone();
    void ConnectClicked();
    void AutoConnectClicked();

    // Serial ports.
    void EnumerateComPorts();
    void RefreshComMenu();
    void PortChosen(int index);

    // Settings store.
    void LoadSettings();
    void SaveSettings();

    // Diagnostic log. ReadLogSwitch sets LogEnabled from the stored value "Log" ("1" = on; the
    // program never writes it, the user adds it to the settings file).
    void ReadLogSwitch();
    void InitLog();
    void WriteLog(std::string text);

    // Serial events, as the serial adapter reports them.
    void OnComm(SerialEvent event);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zintor

#pragma once

#include <cstdint>
#include <functional>
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

    // One turn of the event loop for a loop that waits for a key's release: a release that
    // arrives meanwhile is handled in it.
    void pumpWhileWaiting();
    // The event loop for code that waits for the phone's next lines (a key's release, a window
    // the user closes): lines that arrive are handled inside its waits and pumps.
    EventLoop& waitingLoop();

    // The link ended (hang-up, ring, break, closed by the supervision, Disconnect, shutdown):
    // every hold loop's flag is already cleared when `listener` runs.
    void onLinkEnded(std::function<void()> listener);
    // Changes whenever the link ends: a loop for a held key runs only while it stays what it was
    // at the press, so the loop ends with the link even if a new link comes up meanwhile.
    std::uint32_t linkEpoch() const;
    // A loop for a held key started at `epoch` may go on: its link is still the same, and the
    // phone's lines can still reach it. Lines nest only so deep; a loop at that depth with lines
    // waiting that it cannot get ends, so that they are handled further out.
    bool holdGoesOn(std::uint32_t epoch) const;

    // Shutdown. From beginShutdown on, only the answers to commands are handled, no port is
    // opened and no connection is tried; from endShutdown on, nothing is sent either.
    void beginShutdown();
    void endShutdown();

    // The link's private state; only the files of this folder see inside.
    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace zintor

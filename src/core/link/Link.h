#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/LineRoute.h"
#include "link/TimerSlot.h"
#include "shared/Ports.h"
#include "shared/ProgramState.h"

namespace zintor {

// The phone link: the serial session, AT commands with their answers, the line dispatcher, the
// six timer slots and the connection supervision, the serial port list, the settings and the
// diagnostic log. Other parts talk to the phone only through this class.
//
// The implementation is split over several files in this folder; this is the face the rest of
// the program uses.
class Link {
  public:
    Link(ProgramState& state, Ports& ports);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // AT transport. `toSend` is the whole line including CR LF.
    bool send(const std::string& toSend, std::int32_t timeOut);
    bool openComPort(std::int16_t& port);
    void disconnectCom();
    void atCmer(bool reporting);
    void atCmer(bool reporting, std::int32_t timeOut);
    bool connectPhone();
    void wait(float seconds);

    // Accessory UI commands (one AT line each).
    void uiSubMenu(const std::string& title, int selected, const std::vector<std::string>& items);
    void uiTimedFeedBack(const std::string& name);
    void uiPopUp(const std::string& text, std::int32_t timeOut);
    void registerAccessoryMenu();
    void showTextInputDialog();
    void showTextInputDialog(std::int32_t timeOut);

    // Where the lines from the phone go, in order (the link answers "OK" itself, first).
    void setRoutes(std::vector<LineRoute> routes);
    // Runs when a connection is made, after the accessory menu is registered.
    void onConnected(std::function<void()> listener);

    // Timer slots. `timeOut` is the command time-out's interval; the other slots have fixed ones.
    void resetTimer(TimerSlot slot, std::int32_t timeOut = 0);
    void disableTimer(TimerSlot slot);
    void disableAllTimers();
    bool timerRunning(TimerSlot slot) const;
    // What a slot does when it fires; the part that starts the slot says so once.
    void onTick(TimerSlot slot, std::function<void()> tick);

    // Supervision, automatic connection and the tray menu's link items.
    void autoConnectPhone();
    void connectClicked();
    void autoConnectClicked();

    // Serial ports.
    void enumerateComPorts();
    void refreshComMenu();
    void portChosen(int index);

    // Settings store.
    void loadSettings();
    void saveSettings();

    // Diagnostic log. readLogSwitch sets logEnabled from the stored value "Log" ("1" = on; the
    // program never writes it, the user adds it to the settings file).
    void readLogSwitch();
    void initLog();
    void writeLog(std::string text);

    // Serial events, as the serial adapter reports them.
    void onComm(SerialEvent event);

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
    // Text from the phone that waits to be handled.
    std::string_view unhandledText() const;
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

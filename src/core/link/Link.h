#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/LineRoute.h"
#include "link/TimerSlot.h"
#include "shared/HoldRepeat.h"
#include "shared/Ports.h"
#include "shared/ProgramState.h"
#include "shared/Task.h"

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

    // AT transport. `toSend` is the whole line including CR LF. Commands go out one at a time,
    // in the order they were asked for; each ends with its own answer: true on OK, false on
    // ERROR, +CME ERROR, its time-out or the link's end.
    Task<bool> send(std::string toSend, std::int32_t timeOut);
    Task<bool> openComPort(std::int16_t& port);
    Task<void> disconnectCom();
    Task<void> atCmer(bool reporting);
    Task<void> atCmer(bool reporting, std::int32_t timeOut);
    Task<bool> connectPhone();
    // A pause of `seconds`; none at all for zero or less.
    Task<void> wait(float seconds);

    // Accessory UI commands (one AT line each).
    Task<void> uiSubMenu(std::string title, int selected, std::vector<std::string> items);
    Task<void> uiTimedFeedBack(std::string name);
    Task<void> uiPopUp(std::string text, std::int32_t timeOut);
    Task<void> registerAccessoryMenu();
    Task<void> showTextInputDialog();
    Task<void> showTextInputDialog(std::int32_t timeOut);
    // The same with `prompt` in place of the usual "->".
    Task<void> showTextInputDialog(std::string prompt);

    // Where the events from the phone go: each part adds the rows of its screens (the link takes
    // the answers to its commands itself, first).
    void addRoutes(std::vector<LineRoute> routes);
    // Runs when a connection is made, after the accessory menu is registered.
    void onConnected(std::function<Task<void>()> listener);

    // Starts `task` on its own: a line's handler, a timer's or a click's work. It belongs to the
    // link, which ends whatever still waits when the program goes.
    void start(Task<void> task);
    // Destroys every task still waiting (the program is going).
    void dropTasks();

    // Timer slots. `timeOut` is the command time-out's interval; the other slots have fixed ones.
    void resetTimer(TimerSlot slot, std::int32_t timeOut = 0);
    void disableTimer(TimerSlot slot);
    // Every slot but the time-out of a command on the wire.
    void disableAllTimers();
    bool timerRunning(TimerSlot slot) const;
    // What a slot does when it fires; the part that starts the slot says so once.
    void onTick(TimerSlot slot, std::function<void()> tick);

    // Supervision, automatic connection and the tray menu's link items.
    Task<void> autoConnectPhone();
    Task<void> connectClicked();
    Task<void> autoConnectClicked();

    // Serial ports.
    void enumerateComPorts();
    void refreshComMenu();
    Task<void> portChosen(int index);

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

    // The link ended (hang-up, ring, break, closed by the supervision, Disconnect, shutdown):
    // every hold's flag is already cleared when `listener` runs.
    void onLinkEnded(std::function<void()> listener);
    // Holds back the steps of held keys' repeats while the phone's lines are being received.
    RepeatGate& repeatGate();

    // Shutdown. From beginShutdown on, only the answers to commands are handled, no port is
    // opened and no connection is tried; endShutdown closes the port if it is still open, and
    // from then on nothing is sent either.
    void beginShutdown();
    void endShutdown();

    // The link's private state; only the files of this folder see inside.
    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace zintor

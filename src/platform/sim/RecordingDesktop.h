#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {

// A desktop that records every call as one readable line, in order ("tip Zintor - Connected",
// "caption Disconnect", "label Current COM -->5", ...), and keeps what is on screen now.
//
// Windows behave like the real ones where the core depends on it: the key-map notice closes
// itself 3 s (virtual) after the last showNotice/setNoticeText and then reports noticeClosed().
// closeKeyHelp()/closeNotice() called by the core close silently; userClosesKeyHelp() and
// userClosesNotice() are the user closing a window, which reports the closing to the listener.
// The settings window and message boxes are modal: they run a loop of their own until the user
// closes them (at once unless setModalTime says otherwise).
class RecordingDesktop : public Desktop {
  public:
    explicit RecordingDesktop(SimEventLoop& loop);
    ~RecordingDesktop() override;

    // Desktop
    void setListener(DesktopEvents* events) override { listener_ = events; }
    void trayAdd(const std::string& tip) override;
    void traySetTip(const std::string& tip) override;
    void trayShowFrame(int frame) override;
    void trayRemove() override;
    void setConnectCaption(const std::string& caption) override;
    void setAutoConnectChecked(bool checked) override;
    void setPortItems(const std::vector<PortMenuItem>& items) override;
    void setPortChecked(int index, bool checked) override;
    void setPortLabel(const std::string& text) override;
    void hideMainWindow() override;
    void mainWindowPosition(int& left, int& top) override;
    SettingsForm showSettings(const SettingsForm& form) override;
    void showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>& rows) override;
    void closeKeyHelp() override;
    void showNotice(const std::string& text) override;
    void setNoticeText(const std::string& text) override;
    void closeNotice() override;
    void messageBox(const std::string& title, const std::string& text, bool critical) override;
    void notify(const std::string& title, const std::string& text) override;
    std::optional<std::string> chooseFile(const std::string& title,
                                          const std::string& extension) override;

    // The record.
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Calls beginning with `prefix`, e.g. callsStartingWith("tip ").
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;

    // What is on screen now.
    DesktopEvents* listener() const { return listener_; }
    bool trayShown() const { return trayShown_; }
    const std::string& tip() const { return tip_; }
    int frame() const { return frame_; }
    const std::string& connectCaption() const { return caption_; }
    bool autoConnectChecked() const { return autoChecked_; }
    const std::vector<PortMenuItem>& portItems() const { return portItems_; }
    const std::string& portLabel() const { return label_; }
    bool keyHelpShown() const { return keyHelpShown_; }
    const std::string& keyHelpCaption() const { return keyHelpCaption_; }
    const std::vector<KeyHelpRow>& keyHelpRows() const { return keyHelpRows_; }
    bool noticeShown() const { return noticeShown_; }
    const std::string& noticeText() const { return noticeText_; }

    // Set-up.
    void setMainWindowPosition(int left, int top) {  // pixels
        left_ = left;
        top_ = top;
    }
    // What the user does in the settings window (default: closes it unchanged).
    void setSettingsEditor(std::function<SettingsForm(const SettingsForm&)> editor) {
        editor_ = std::move(editor);
    }

    // How long the user keeps a modal window open, in virtual ms.
    void setModalTime(int ms) { modalMs_ = ms; }
    bool modalOpen() const { return modalOpen_; }

    // The user closes a window (reported to the listener).
    void userClosesKeyHelp();
    void userClosesNotice();
    // A desktop that leaves the notice open until it is told to close it.
    void setNoticeClosesItself(bool closes) { noticeClosesItself_ = closes; }

  private:
    void record(std::string call) { calls_.push_back(std::move(call)); }
    void restartNoticeTimer();
    void holdModal();
    void stopNoticeTimer();

    SimEventLoop& loop_;
    DesktopEvents* listener_ = nullptr;
    std::vector<std::string> calls_;
    bool trayShown_ = false;
    std::string tip_;
    int frame_ = 0;
    std::string caption_;
    bool autoChecked_ = false;
    std::vector<PortMenuItem> portItems_;
    std::string label_;
    int left_ = 80, top_ = 80;
    bool keyHelpShown_ = false;
    std::string keyHelpCaption_;
    std::vector<KeyHelpRow> keyHelpRows_;
    bool noticeShown_ = false;
    std::string noticeText_;
    std::optional<EventLoop::TimerId> noticeTimer_;
    bool noticeClosesItself_ = true;
    std::function<SettingsForm(const SettingsForm&)> editor_;
    std::optional<std::string> fileResult_;
    int modalMs_ = 0;
    bool modalOpen_ = false;
};

}  // namespace zintor

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ports/Desktop.h"
#include "core/ports/EventLoop.h"

namespace zintor {

// The desktop when there is no display: nothing is drawn, notices and message boxes are printed
// to standard error, and the state the windows would show is remembered (for a look from tests
// or a debugger). The settings window returns what it was given; the file dialog chooses nothing.
class HeadlessDesktop : public Desktop {
  public:
    explicit HeadlessDesktop(EventLoop& loop);
    ~HeadlessDesktop() override;

    void setListener(DesktopEvents* events) override;
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

    // What a window would show now.
    struct View {
        bool trayShown = false;
        std::string tip;
        int frame = 0;
        std::string connectCaption = "Connect";
        bool autoConnectChecked = false;
        std::vector<PortMenuItem> portItems;
        std::string comLabel;
        bool keyHelpShown = false;
        std::string keyHelpCaption;
        bool noticeShown = false;
        std::string noticeText;
    };
    const View& view() const { return view_; }

  private:
    void say(const std::string& text);
    void restartNoticeTimer();
    void stopNoticeTimer();

    EventLoop& loop_;
    DesktopEvents* events_ = nullptr;
    View view_;
    std::optional<EventLoop::TimerId> noticeTimer_;
};

}  // namespace zintor

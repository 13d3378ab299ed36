#include "platform/qt/HeadlessDesktop.h"

#include <cstdio>

namespace zintor {
namespace {
constexpr int kNoticeMs = 3000;
}

HeadlessDesktop::HeadlessDesktop(EventLoop& loop) : loop_(loop) {}

HeadlessDesktop::~HeadlessDesktop() {
    stopNoticeTimer();
}

void HeadlessDesktop::say(const std::string& text) {
    std::fprintf(stderr, "zintor: %s\n", text.c_str());
    std::fflush(stderr);
}

void HeadlessDesktop::setListener(DesktopEvents* events) {
    events_ = events;
}

void HeadlessDesktop::trayAdd(const std::string& tip) {
    view_.trayShown = true;
    view_.tip = tip;
}

void HeadlessDesktop::traySetTip(const std::string& tip) {
    view_.tip = tip;
}

void HeadlessDesktop::trayShowFrame(int frame) {
    view_.frame = frame;
}

void HeadlessDesktop::trayRemove() {
    view_.trayShown = false;
}

void HeadlessDesktop::setConnectCaption(const std::string& caption) {
    view_.connectCaption = caption;
}

void HeadlessDesktop::setAutoConnectChecked(bool checked) {
    view_.autoConnectChecked = checked;
}

void HeadlessDesktop::setPortItems(const std::vector<PortMenuItem>& items) {
    view_.portItems = items;
}

void HeadlessDesktop::setPortChecked(int index, bool checked) {
    if (index >= 0 && static_cast<std::size_t>(index) < view_.portItems.size()) {
        view_.portItems[static_cast<std::size_t>(index)].checked = checked;
    }
}

void HeadlessDesktop::setPortLabel(const std::string& text) {
    view_.comLabel = text;
}

void HeadlessDesktop::hideMainWindow() {}

void HeadlessDesktop::mainWindowPosition(int& left, int& top) {
    left = 0;
    top = 0;
}

SettingsForm HeadlessDesktop::showSettings(const SettingsForm& form) {
    say("no display: the settings window cannot be shown; edit the settings file instead");
    return form;
}

void HeadlessDesktop::showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>&) {
    view_.keyHelpShown = true;
    view_.keyHelpCaption = caption;
}

void HeadlessDesktop::closeKeyHelp() {
    view_.keyHelpShown = false;
}

void HeadlessDesktop::showNotice(const std::string& text) {
    view_.noticeShown = true;
    view_.noticeText = text;
    say(text);
    restartNoticeTimer();
}

void HeadlessDesktop::setNoticeText(const std::string& text) {
    view_.noticeText = text;
    say(text);
    restartNoticeTimer();
}

void HeadlessDesktop::closeNotice() {
    stopNoticeTimer();
    view_.noticeShown = false;
}

void HeadlessDesktop::messageBox(const std::string& title, const std::string& text, bool critical) {
    say((critical ? "error: " : "") + title + ": " + text);
}

void HeadlessDesktop::notify(const std::string& title, const std::string& text) {
    say(title + ": " + text);
}

std::optional<std::string> HeadlessDesktop::chooseFile(const std::string&, const std::string&) {
    return std::nullopt;
}

void HeadlessDesktop::restartNoticeTimer() {
    stopNoticeTimer();
    noticeTimer_ = loop_.startTimer(kNoticeMs, [this] {
        closeNotice();
        if (events_ != nullptr) {
            events_->noticeClosed();
        }
    });
}

void HeadlessDesktop::stopNoticeTimer() {
    loop_.clearTimer(noticeTimer_);
}

}  // namespace zintor

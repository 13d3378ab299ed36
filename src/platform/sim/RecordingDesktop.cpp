#include "platform/sim/RecordingDesktop.h"

namespace zintor {

RecordingDesktop::RecordingDesktop(SimEventLoop& loop) : loop_(loop) {}

RecordingDesktop::~RecordingDesktop() {
    stopNoticeTimer();
}

std::vector<std::string> RecordingDesktop::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls_) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            out.push_back(call);
        }
    }
    return out;
}

void RecordingDesktop::trayAdd(const std::string& tip) {
    record("trayAdd " + tip);
    trayShown_ = true;
    tip_ = tip;
}

void RecordingDesktop::traySetTip(const std::string& tip) {
    record("tip " + tip);
    tip_ = tip;
}

void RecordingDesktop::trayShowFrame(int frame) {
    record("frame " + std::to_string(frame));
    frame_ = frame;
}

void RecordingDesktop::trayRemove() {
    record("trayRemove");
    trayShown_ = false;
}

void RecordingDesktop::setConnectCaption(const std::string& caption) {
    record("caption " + caption);
    caption_ = caption;
}

void RecordingDesktop::setAutoConnectChecked(bool checked) {
    record(checked ? "autoConnect checked" : "autoConnect unchecked");
    autoChecked_ = checked;
}

void RecordingDesktop::setPortItems(const std::vector<PortMenuItem>& items) {
    std::string call = "ports";
    for (const PortMenuItem& item : items) {
        call += (&item == &items.front() ? " " : ", ") + item.caption + (item.checked ? " *" : "");
    }
    record(call);
    portItems_ = items;
}

void RecordingDesktop::setPortChecked(int index, bool checked) {
    record("portChecked " + std::to_string(index) + (checked ? " on" : " off"));
    if (index >= 0 && static_cast<std::size_t>(index) < portItems_.size()) {
        portItems_[static_cast<std::size_t>(index)].checked = checked;
    }
}

void RecordingDesktop::setPortLabel(const std::string& text) {
    record("label " + text);
    label_ = text;
}

void RecordingDesktop::hideMainWindow() {
    record("hideMainWindow");
}

void RecordingDesktop::mainWindowPosition(int& left, int& top) {
    record("mainWindowPosition");
    left = left_;
    top = top_;
}

SettingsForm RecordingDesktop::showSettings(const SettingsForm& form) {
    record("showSettings");
    holdModal();
    return editor_ ? editor_(form) : form;
}

void RecordingDesktop::showKeyHelp(const std::string& caption,
                                   const std::vector<KeyHelpRow>& rows) {
    record("showKeyHelp " + caption + " (" + std::to_string(rows.size()) + " rows)");
    keyHelpShown_ = true;
    keyHelpCaption_ = caption;
    keyHelpRows_ = rows;
}

void RecordingDesktop::closeKeyHelp() {
    record("closeKeyHelp");
    keyHelpShown_ = false;
}

void RecordingDesktop::userClosesKeyHelp() {
    if (!keyHelpShown_) {
        return;
    }
    record("user closes key help");
    keyHelpShown_ = false;
    if (listener_) {
        listener_->keyHelpClosed();
    }
}

void RecordingDesktop::showNotice(const std::string& text) {
    record("showNotice " + text);
    noticeShown_ = true;
    noticeText_ = text;
    restartNoticeTimer();
}

void RecordingDesktop::setNoticeText(const std::string& text) {
    record("setNoticeText " + text);
    noticeText_ = text;
    if (noticeShown_) {
        restartNoticeTimer();
    }
}

void RecordingDesktop::closeNotice() {
    record("closeNotice");
    noticeShown_ = false;
    stopNoticeTimer();
}

void RecordingDesktop::userClosesNotice() {
    if (!noticeShown_) {
        return;
    }
    record("user closes notice");
    noticeShown_ = false;
    stopNoticeTimer();
    if (listener_) {
        listener_->noticeClosed();
    }
}

void RecordingDesktop::stopNoticeTimer() {
    loop_.clearTimer(noticeTimer_);
}

void RecordingDesktop::restartNoticeTimer() {
    stopNoticeTimer();
    if (!noticeClosesItself_) {
        return;
    }
    noticeTimer_ = loop_.startTimer(3000, [this] {
        stopNoticeTimer();
        record("notice closes itself");
        noticeShown_ = false;
        if (listener_) {
            listener_->noticeClosed();
        }
    });
}

void RecordingDesktop::messageBox(const std::string& title, const std::string& text,
                                  bool critical) {
    record(std::string(critical ? "messageBox critical " : "messageBox ") + title + ": " + text);
    holdModal();
}

void RecordingDesktop::holdModal() {
    if (modalMs_ > 0) {
        modalOpen_ = true;
        loop_.adapterLoop(modalMs_);
        modalOpen_ = false;
    }
}

void RecordingDesktop::notify(const std::string& title, const std::string& text) {
    record("notify " + title + ": " + text);
}

std::optional<std::string> RecordingDesktop::chooseFile(const std::string& title,
                                                        const std::string& extension) {
    record("chooseFile " + title + " " + extension);
    return fileResult_;
}

}  // namespace zintor

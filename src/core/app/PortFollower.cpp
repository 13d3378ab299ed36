#include "app/PortFollower.h"

#include <algorithm>

#include "link/Link.h"
#include "link/LinkTexts.h"
#include "link/PortList.h"

namespace zintor {

namespace {
// How long a report waits while a connection attempt runs before it is looked at again.
constexpr int kLookAgainMs = 500;

bool SamePort(const ComPortInfo& a, const ComPortInfo& b) {
    return a.Port == b.Port && a.Name == b.Name && a.Kind == b.Kind;
}

bool Listed(const std::vector<ComPortInfo>& list, const ComPortInfo& port) {
    return std::any_of(list.begin(), list.end(),
                       [&](const ComPortInfo& p) { return SamePort(p, port); });
}
}  // namespace

PortFollower::PortFollower(ProgramState& state, Ports& ports, Link& link)
    : state_(state), ports_(ports), link_(link) {}

PortFollower::~PortFollower() {
    Stop();
}

void PortFollower::Start() {
    seen_ = state_.PortList;
    configured_ = state_.ComPort;
    listening_ = true;
    ports_.registry.setChangeListener([this] { PortsMayHaveChanged(); });
}

void PortFollower::Stop() {
    if (lookAgain_) {
        ports_.loop.stopTimer(*lookAgain_);
        lookAgain_.reset();
    }
    if (listening_) {
        listening_ = false;
        ports_.registry.setChangeListener({});
    }
}

void PortFollower::NoteConnection() {
    if (state_.Connected) {
        configured_ = state_.ComPort;
    }
}

void PortFollower::NotePortChosen() {
    configured_ = state_.ComPort;
}

bool PortFollower::Busy() const {
    // SupervisionPaused: automatic connection or the supervision's reconnection runs.
    return attempts_ > 0 || state_.SupervisionPaused;
}

void PortFollower::LookAgainLater() {
    if (!lookAgain_) {
        // The tick only calls a member: stopping the timer inside it ends the lambda.
        lookAgain_ = ports_.loop.startTimer(kLookAgainMs, [this] { LookAgainNow(); });
    }
}

void PortFollower::LookAgainNow() {
    ports_.loop.stopTimer(*lookAgain_);
    lookAgain_.reset();
    PortsMayHaveChanged();
}

void PortFollower::PortsMayHaveChanged() {
    if (!listening_) {
        return;
    }
    if (Busy()) {
        LookAgainLater();
        return;
    }
    NoteConnection();
    link_.EnumerateComPorts();
    const std::vector<ComPortInfo> now = state_.PortList;
    bool configuredAppeared = false;
    for (const ComPortInfo& port : now) {
        configuredAppeared =
            configuredAppeared || (port.Port == configured_ && !Listed(seen_, port));
    }
    const bool changed = now.size() != seen_.size() ||
                         !std::all_of(now.begin(), now.end(),
                                      [this](const ComPortInfo& p) { return Listed(seen_, p); });
    seen_ = now;
    if (!changed) {
        return;
    }
    link_.RefreshComMenu();
    if (configuredAppeared && state_.AutoConnect == 1 && !state_.Connected) {
        ConnectConfigured();
    }
}

void PortFollower::ConnectConfigured() {
    // Ports above the menu's last one cannot be opened as themselves.
    if (configured_ <= 0 || configured_ > kHighestOfferedPort) {
        return;
    }
    state_.ComPort = configured_;
    {
        Attempt attempt(*this);
        if (link_.ConnectPhone()) {
            link_.WriteLog(link_texts::kAutoConnectMade);
        }
    }
    link_.RefreshComMenu();  // the check mark on the port in use
}

}  // namespace zintor

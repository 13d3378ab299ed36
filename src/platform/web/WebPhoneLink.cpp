#include "platform/web/WebPhoneLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "platform/web/WebPhoneServer.h"

namespace zintor::web {

namespace {

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const char* kDrag = "drag";  // a drag, held as a key is

const char* kindName(DialogKind kind) {
    switch (kind) {
        case DialogKind::kNotice:
            return "notice";
        case DialogKind::kPopUp:
            return "popup";
        case DialogKind::kInputBox:
            return "input";
        case DialogKind::kStatusText:
            return "status";
        case DialogKind::kNoDialog:
            break;
    }
    return "";
}

}  // namespace

WebPhoneLink::WebPhoneLink(WebPhoneServer& server, Diagnostic log)
    : server_(server), log_(std::move(log)) {
    connect(&server_, &WebPhoneServer::phoneArrived, this, [this] {
        pushScreen();
        if (presence_) {
            presence_();
        }
    });
    connect(&server_, &WebPhoneServer::phoneMessage, this,
            [this](const QString& text) { onAction(text); });
    connect(&server_, &WebPhoneServer::phoneLost, this, [this] { onPageLost(); });
    holdCheck_.setSingleShot(true);
    holdCheck_.setTimerType(Qt::PreciseTimer);
    connect(&holdCheck_, &QTimer::timeout, this, [this] { releaseUnconfirmed(); });
}

WebPhoneLink::~WebPhoneLink() {
    listener_ = nullptr;
}

bool WebPhoneLink::open(int port) {
    (void)port;  // the port switch hands over only the web phone's number
    if (open_ || !server_.phoneConnected()) {
        return false;
    }
    open_ = true;
    armed_ = false;
    receivePosted_ = false;
    ++generation_;
    received_.clear();
    partial_.clear();
    model_.reset();
    pushScreen();
    return true;
}

void WebPhoneLink::close() {
    if (!open_) {
        return;
    }
    endSession();
    pushScreen();
}

void WebPhoneLink::endSession() {
    open_ = false;
    armed_ = false;
    received_.clear();
    held_.clear();
    holdCheck_.stop();
    model_.reset();
    keyFunctions_ = {};
    keyHelp_ = false;
}

void WebPhoneLink::write(std::string_view bytes) {
    if (!open_) {
        return;
    }
    bool changed = false;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!partial_.empty()) {
                const std::string reply =
                    partial_.size() > kMaxCommand ? "\r\nERROR\r\n" : model_.answer(partial_);
                partial_.clear();
                received_ += reply;
                changed = true;
            }
        } else if (partial_.size() <= kMaxCommand) {
            partial_ += c;
        }
    }
    if (changed) {
        pushScreen();
        postReceive();
    }
}

std::string WebPhoneLink::takeReceived() {
    std::string out;
    out.swap(received_);
    return out;
}

void WebPhoneLink::setReceiveArmed(bool armed) {
    armed_ = armed;
    if (armed_ && !received_.empty()) {
        postReceive();
    }
}

void WebPhoneLink::setListener(std::function<void(SerialEvent)> listener) {
    listener_ = std::move(listener);
}

void WebPhoneLink::postReceive() {
    if (!armed_ || receivePosted_ || received_.empty()) {
        return;
    }
    receivePosted_ = true;
    const unsigned generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            receivePosted_ = false;
            if (generation == generation_ && open_ && armed_ && !received_.empty() && listener_) {
                listener_(SerialEvent::kReceive);
            }
        },
        Qt::QueuedConnection);
}

void WebPhoneLink::toProgram(const std::string& line) {
    received_ += line + "\r\n";
    pushScreen();
    postReceive();
}

void WebPhoneLink::onAction(const QString& json) {
    const QJsonObject action = QJsonDocument::fromJson(json.toUtf8()).object();
    const QString what = action.value(QStringLiteral("do")).toString();
    if (what.isEmpty()) {
        log_("Web phone: message from the page ignored (not an action)");
        return;
    }
    std::optional<std::string> line;
    if (what == QLatin1String("noticeDone")) {
        model_.noticeDone();
    } else if (!open_) {
        // The program has not connected yet: nothing to send the action to.
    } else if (onTouch(what, action)) {
        return;  // the screen stays as it is
    } else if (what == QLatin1String("open")) {
        line = model_.openEntry();
    } else if (what == QLatin1String("item")) {
        line = model_.chooseItem(action.value(QStringLiteral("n")).toInt(0));
    } else if (what == QLatin1String("leave")) {
        line = model_.leaveMenu();
    } else if (what == QLatin1String("answer")) {
        line = model_.answerDialog();
    } else if (what == QLatin1String("close")) {
        line = model_.closeDialog();
    } else if (what == QLatin1String("end")) {
        line = model_.endSession();
    } else if (what == QLatin1String("text")) {
        line = model_.enterText(action.value(QStringLiteral("text")).toString().toStdString());
    } else if (what == QLatin1String("key")) {
        const std::string code = action.value(QStringLiteral("code")).toString().toStdString();
        const bool down = action.value(QStringLiteral("down")).toBool();
        line = model_.key(code, down);
        if (line && down) {
            hold(code);
        } else if (line) {
            held_.erase(code);
        }
    } else if (what == QLatin1String("hold")) {
        // Only a key still held is kept; the page's screen stays as it is.
        const auto key = held_.find(action.value(QStringLiteral("code")).toString().toStdString());
        if (key != held_.end()) {
            key->second.start();
        }
        return;
    } else {
        log_("Web phone: unknown action from the page ignored");
    }
    if (line) {
        toProgram(*line);
    } else {
        pushScreen();  // the page learns that nothing happened
    }
}

void WebPhoneLink::hold(const std::string& code) {
    held_[code].start();
    if (!holdCheck_.isActive()) {
        holdCheck_.start(kHoldLostMs);
    }
}

bool WebPhoneLink::onTouch(const QString& what, const QJsonObject& action) {
    static const QStringList kTouches{QStringLiteral("move"), QStringLiteral("tap"),
                                      QStringLiteral("scroll"), QStringLiteral("drag"),
                                      QStringLiteral("type")};
    if (!kTouches.contains(what)) {
        return false;
    }
    if (extras_ == nullptr || !model_.screen().keypadReporting) {
        return true;  // only in the key mode
    }
    constexpr int kLargestMove = 2000;
    const int dx =
        std::clamp(action.value(QStringLiteral("dx")).toInt(), -kLargestMove, kLargestMove);
    const int dy =
        std::clamp(action.value(QStringLiteral("dy")).toInt(), -kLargestMove, kLargestMove);
    if (what == QLatin1String("move")) {
        extras_->touchMoved(dx, dy);
    } else if (what == QLatin1String("tap")) {
        extras_->touchTapped(action.value(QStringLiteral("fingers")).toInt() == 2);
    } else if (what == QLatin1String("scroll")) {
        extras_->touchScrolled(dx, dy);
    } else if (what == QLatin1String("drag")) {
        const bool down = action.value(QStringLiteral("down")).toBool();
        down ? hold(kDrag) : void(held_.erase(kDrag));
        extras_->touchHeld(down);
    } else {
        extras_->keyboardTyped(action.value(QStringLiteral("text")).toString().toStdString());
    }
    return true;
}

void WebPhoneLink::showKeyFunctions(const std::string& keyMap,
                                    const std::vector<KeyFunction>& keys) {
    QJsonObject functions;
    for (const KeyFunction& key : keys) {
        functions[utf8(key.code)] = utf8(key.function);
    }
    keyFunctions_ = QJsonObject{{"map", utf8(keyMap)}, {"keys", functions}};
    pushScreen();
}

void WebPhoneLink::showKeyHelp(bool shown) {
    keyHelp_ = shown;
    pushScreen();
}

void WebPhoneLink::releaseUnconfirmed() {
    qint64 next = kHoldLostMs;
    for (auto key = held_.begin(); key != held_.end();) {
        const qint64 silent = key->second.elapsed();
        if (silent < kHoldLostMs) {
            next = std::min(next, kHoldLostMs - silent);
            ++key;
            continue;
        }
        log_("Web phone: key " + key->first + " released (not confirmed for " +
             std::to_string(silent) + " ms)");
        if (key->first == kDrag) {
            key = held_.erase(key);
            if (extras_ != nullptr) {
                extras_->touchHeld(false);
            }
            continue;
        }
        const std::optional<std::string> line = model_.key(key->first, false);
        key = held_.erase(key);
        if (line) {
            toProgram(*line);
        }
    }
    if (!held_.empty()) {
        holdCheck_.start(static_cast<int>(next));
    }
}

void WebPhoneLink::onPageLost() {
    if (presence_) {
        presence_();
    }
    if (!open_) {
        return;
    }
    endSession();
    const unsigned generation = ++generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_ && !open_ && listener_) {
                listener_(SerialEvent::kHangUp);
            }
        },
        Qt::QueuedConnection);
}

void WebPhoneLink::pushScreen() {
    if (!server_.phoneConnected()) {
        return;
    }
    const PhoneScreen& screen = model_.screen();
    QJsonObject state;
    state[QStringLiteral("link")] = open_;
    state[QStringLiteral("entry")] = utf8(screen.entry);
    state[QStringLiteral("keys")] = screen.keypadReporting;
    if (!keyFunctions_.isEmpty()) {
        state[QStringLiteral("keyMap")] = keyFunctions_;
        state[QStringLiteral("help")] = keyHelp_;
    }
    if (screen.menu) {
        QJsonArray items;
        for (const std::string& item : screen.menu->items) {
            items.append(utf8(item));
        }
        state[QStringLiteral("menu")] = QJsonObject{{"title", utf8(screen.menu->title)},
                                                    {"highlighted", screen.menu->highlighted},
                                                    {"items", items}};
    }
    if (screen.dialog.kind != DialogKind::kNoDialog) {
        state[QStringLiteral("dialog")] = QJsonObject{{"kind", kindName(screen.dialog.kind)},
                                                      {"title", utf8(screen.dialog.title)},
                                                      {"text", utf8(screen.dialog.text)},
                                                      {"timeoutMs", screen.dialog.timeoutMs},
                                                      {"maxLength", screen.dialog.maxLength}};
    }
    server_.sendToPhone(QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact)));
}

}  // namespace zintor::web

#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "core/ports/LogSink.h"
#include "core/ports/PhoneExtras.h"
#include "core/ports/SerialLink.h"
#include "platform/web/PhoneModel.h"

namespace zintor::web {

class WebPhoneServer;

// The web phone as the program's serial link. Lines the program writes go to the phone model,
// which answers them at once; the page shows the model's screen and sends the user's actions,
// which the model turns into phone lines for the program. Everything the page sends is an
// action from a fixed list: it cannot make the phone send any other line.
//  - open() succeeds only while a page is connected (like a device that is there);
//  - losing the page while open closes the link and reports SerialEvent::kHangUp;
//  - receive events are posted, only while armed, as for a cable;
//  - a held key must be confirmed by the page ({"do":"hold"}) while it is held: one it stopped
//    confirming for kHoldLostMs (the page hidden, the network gone) is released, with the
//    release line a phone sends.
// It is also the phone's touch surface and keyboard for the program (PhoneExtras): in the key
// mode the page shows what the keys do and the key help, and its touch and keyboard actions go
// to the program's listener while the program's link is this page's. A drag is confirmed as a
// held key is ("drag") and let go when it is not.
class WebPhoneLink : public QObject, public SerialLink, public PhoneExtras {
    Q_OBJECT
  public:
    static constexpr std::size_t kMaxCommand = 4096;  // longer command lines get ERROR
    static constexpr int kHoldLostMs = 500;

    WebPhoneLink(WebPhoneServer& server, Diagnostic log);
    ~WebPhoneLink() override;

    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void write(std::string_view bytes) override;
    std::string takeReceived() override;
    void setReceiveArmed(bool armed) override;
    void setListener(std::function<void(SerialEvent)> listener) override;

    void setListener(PhoneExtrasEvents* events) override { extras_ = events; }
    void showKeyFunctions(const std::string& keyMap, const std::vector<KeyFunction>& keys) override;
    void showKeyHelp(bool shown) override;

    // Told whenever a page comes or goes (the web phone's port appears or disappears).
    void setPresenceListener(std::function<void()> changed) { presence_ = std::move(changed); }

    const PhoneModel& model() const { return model_; }

  private:
    // The phone side forgets the session: closed, disarmed, nothing received.
    void endSession();
    void onAction(const QString& json);
    void onPageLost();
    void toProgram(const std::string& line);
    void pushScreen();
    void postReceive();
    void releaseUnconfirmed();
    // A touch or keyboard action of the page; false when it is none.
    bool onTouch(const QString& what, const QJsonObject& action);
    void hold(const std::string& code);

    WebPhoneServer& server_;
    Diagnostic log_;
    PhoneModel model_;
    std::function<void(SerialEvent)> listener_;
    std::function<void()> presence_;
    PhoneExtrasEvents* extras_ = nullptr;
    QJsonObject keyFunctions_;  // {"map": name, "keys": {code: function}}
    bool keyHelp_ = false;
    std::string received_;
    std::string partial_;
    std::map<std::string, QElapsedTimer> held_;  // keys pressed, since their last confirmation
    QTimer holdCheck_;
    bool open_ = false;
    bool armed_ = false;
    bool receivePosted_ = false;
    unsigned generation_ = 0;
};

}  // namespace zintor::web

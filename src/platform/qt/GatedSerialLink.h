#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/ports/SerialLink.h"
#include "platform/qt/QtEventLoop.h"

namespace zintor {

// A serial link whose events reach the program the way the loop's own ticks and posted calls
// do: never inside another call into the program (see QtEventLoop). Everything else is the
// wrapped link's.
class GatedSerialLink : public SerialLink {
  public:
    GatedSerialLink(SerialLink& link, QtEventLoop& loop) : link_(link), loop_(loop) {}

    bool open(int port) override { return link_.open(port); }
    void close() override { link_.close(); }
    bool isOpen() const override { return link_.isOpen(); }
    bool beingMade() const override { return link_.beingMade(); }
    void write(std::string_view bytes) override { link_.write(bytes); }
    std::string takeReceived() override { return link_.takeReceived(); }
    void setReceiveArmed(bool armed) override { link_.setReceiveArmed(armed); }
    void setListener(std::function<void(SerialEvent)> listener) override {
        if (!listener) {
            link_.setListener({});
            return;
        }
        auto shared = std::make_shared<std::function<void(SerialEvent)>>(std::move(listener));
        link_.setListener([this, shared](SerialEvent event) {
            loop_.deliver([shared, event] { (*shared)(event); });
        });
    }

  private:
    SerialLink& link_;
    QtEventLoop& loop_;
};

}  // namespace zintor

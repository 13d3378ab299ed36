// The fault simulation proves something about the real program only while its loop and serial
// link deliver what the Qt ones deliver. One script of timers, posted calls, a call that runs a
// loop of its own (a modal window), a call that blocks, and bytes and a hang-up from the phone,
// played on both: what ran, in which order, and whether anything ran inside another call, must
// be the same. The Qt loop also sleeps while nothing is due, and forgets stopped timers.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "PtyPhone.h"
#include "platform/qt/GatedSerialLink.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtSerialLink.h"
#include "platform/sim/SimPhone.h"

namespace zintor {
namespace {

// What the phone does, in ms from the start (well apart, so that a busy machine keeps the order).
struct PhoneStep {
    int atMs;
    std::string bytes;  // empty: it hangs up
};
const std::vector<PhoneStep> kPhone = {{100, "ab"}, {790, "cd"}, {1300, "ef"}, {1700, ""}};
constexpr int kEndMs = 1900;

class Script {
  public:
    using Wait = std::function<void(int ms)>;
    // `adapterLoop` runs a loop of its own, `busy` blocks.
    Script(EventLoop& loop, SerialLink& link, Wait adapterLoop, Wait busy)
        : loop_(loop), link_(link), adapterLoop_(std::move(adapterLoop)), busy_(std::move(busy)) {
        link_.setListener([this](SerialEvent event) {
            if (event != SerialEvent::kReceive) {
                traced(std::string("hang-up, ") + (link_.isOpen() ? "open" : "closed"), [] {})();
                return;
            }
            traced("receive " + link_.takeReceived(),
                   [this] { ++received_ == 1 ? loop_.post(traced("p4", [] {})) : void(); })();
        });
        loop_.post(traced("start", [this] { start(); }));
    }
    std::string trace;  // what ran, in order

  private:
    // Notes `name` when the call runs, and whether it runs inside another.
    std::function<void()> traced(std::string name, std::function<void()> body) {
        return [this, name = std::move(name), body = std::move(body)] {
            trace += (trace.empty() ? "" : ", ") + name + (depth_ > 0 ? " (inside a call)" : "");
            ++depth_;
            body();
            --depth_;
        };
    }
    EventLoop::TimerId timer(int ms, const std::string& name, std::function<void()> body) {
        return loop_.startTimer(ms, traced(name, std::move(body)));
    }

    void start() {
        loop_.post(traced("p1", [this] { loop_.post(traced("p3", [] {})); }));
        loop_.post(traced("p2", [this] { loop_.stopTimer(c_); }));
        c_ = timer(100, "c", [] {});  // stopped before it ever ticks
        d_ = timer(550, "d", [] {});
        a_ = timer(300, "a", [this] { a(); });
        link_.open(1);
        link_.setReceiveArmed(true);
    }

    void a() {
        if (++aTicks_ == 1) {  // D starts afresh: it would have ticked at 550, now at 850
            loop_.stopTimer(d_);
            d_ = timer(550, "d", [this] { loop_.stopTimer(d_); });
        } else if (aTicks_ == 2) {
            // A modal window from 600 to 1000 ms: B falls due three times, the phone's "cd"
            // comes, E falls due but is stopped before its tick may run, D falls due, and A
            // itself does not (a timer never ticks inside its own tick). What falls due waits,
            // in order and one tick a timer, until this call returns; B goes on in its rhythm.
            loop_.post(traced("p5", [] {}));
            b_ = timer(120, "b", [this] { ++bTicks_ == 2 ? loop_.stopTimer(b_) : void(); });
            const EventLoop::TimerId e = timer(200, "e", [] {});
            adapterLoop_(400);
            loop_.stopTimer(e);
            loop_.post(traced("p6", [] {}));
        } else {  // bytes that come while disarmed wait for the arming
            loop_.stopTimer(a_);
            link_.setReceiveArmed(false);
            f_ = timer(200, "f", [this] {
                loop_.stopTimer(f_);
                // A call that blocks: what it posts comes before the timers, H ticks once.
                loop_.post(traced("g", [this] {
                    loop_.post(traced("p7", [] {}));
                    link_.setReceiveArmed(true);
                    h_ = timer(40, "h", [this] { loop_.stopTimer(h_); });
                    busy_(150);
                }));
            });
        }
    }

    EventLoop& loop_;
    SerialLink& link_;
    Wait adapterLoop_, busy_;
    EventLoop::TimerId a_ = 0, b_ = 0, c_ = 0, d_ = 0, f_ = 0, h_ = 0;
    int aTicks_ = 0, bTicks_ = 0, depth_ = 0, received_ = 0;
};

const char* const kExpected =
    "start, p1, p2, p3, receive ab, p4, a, a, p5, b, receive cd, d, p6, b, a, f, g, p7, "
    "receive ef, h, hang-up, closed";

std::string onSimulation() {
    SimEventLoop loop;
    SimPhone phone(loop);
    Script script(
        loop, phone.link(), [&loop](int ms) { loop.adapterLoop(ms); },
        [&loop](int ms) { loop.busy(ms); });
    for (const PhoneStep& step : kPhone) {
        loop.schedule(step.atMs, [&phone, step] {
            step.bytes.empty() ? phone.hangUp() : phone.send(step.bytes);
        });
    }
    loop.runUntil(kEndMs);
    return script.trace;
}

std::string onQt() {
    phone::PtyPhone phone;
    EXPECT_TRUE(phone.ok()) << phone.error();
    QtEventLoop loop;
    QtSerialLink serial([&phone](int) { return phone.slavePath(); });
    GatedSerialLink link(serial, loop);
    int wakes = 0;  // a loop that spun would wake thousands of times
    QObject context;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                     &context, [&wakes] { ++wakes; });
    Script script(
        loop, link,
        [](int ms) {
            QEventLoop modal;
            QTimer::singleShot(ms, Qt::PreciseTimer, &modal, &QEventLoop::quit);
            modal.exec();
        },
        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    const auto start = std::chrono::steady_clock::now();
    std::thread world([&phone, start] {
        for (const PhoneStep& step : kPhone) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(step.atMs));
            step.bytes.empty() ? phone.hangUp() : phone.send(step.bytes);
        }
    });
    QEventLoop run;
    QTimer::singleShot(kEndMs, Qt::PreciseTimer, &run, &QEventLoop::quit);
    run.exec();
    world.join();
    EXPECT_EQ(loop.runningTimers(), 0u);  // each stopped, most from its own tick
    EXPECT_LT(wakes, 100);
    return script.trace;
}

TEST(LoopRules, TheSimulationDeliversWhatQtDelivers) {
    const std::string simulated = onSimulation();
    EXPECT_EQ(simulated, kExpected);
    EXPECT_EQ(onQt(), simulated);
}

}  // namespace
}  // namespace zintor

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // The event dispatcher the program runs on (Qt's GLib one). Qt's own Unix one also runs a
    // timer that falls due during a posted call before the calls that one posted.
    qunsetenv("QT_NO_GLIB");
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

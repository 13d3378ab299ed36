#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/web/PhoneModel.h"

namespace zintor::phone {

// A phone on the master side of a pseudo-terminal: the program opens the slave side as its serial
// port. It answers each command line as the phone model does (or with a scripted reply), records
// every line it receives with its time, and can act as the user (through the model), send any
// text, echo what it receives, fall silent or hang up. It runs its own thread, so it answers while
// the caller's thread is busy or blocked.
class PtyPhone {
  public:
    struct Line {
        std::string text;
        std::int64_t ms = 0;  // since the phone was made
    };

    PtyPhone();
    // A phone on a connected socket (a Bluetooth link's stand-in), which it now owns: the program
    // has the other end. The program closing its end hangs the phone up.
    explicit PtyPhone(int socket);
    ~PtyPhone();
    PtyPhone(const PtyPhone&) = delete;
    PtyPhone& operator=(const PtyPhone&) = delete;

    // False when no pseudo-terminal could be made (error() says why).
    bool ok() const { return master_ >= 0; }
    const std::string& error() const { return error_; }
    // The device the program opens, such as /dev/pts/3.
    const std::string& slavePath() const { return slavePath_; }

    // What the phone replies to a command line (without CR LF), in place of the model's answer
    // ("OK", the model name for "AT+cgmm", "ERROR" for what it refuses). An empty reply means no
    // answer at all.
    void setReply(const std::string& command, const std::string& reply);
    // Stop (true) or resume answering anything; resuming also ends a silenceFor.
    void setSilent(bool silent);
    // Answer nothing for `duration` from now, then answer again.
    void silenceFor(std::chrono::milliseconds duration);
    // Echo each command line (with CR LF) before its answer, as a phone with ATE1 does.
    void setEcho(bool echo);
    // Called on the phone's thread for every line received (after it was recorded).
    void setLineHook(std::function<void(const Line&)> hook);

    // What the user does on the phone: `action` gets the model and gives the line to send
    // (sent with CR LF); nothing when the action makes no sense on the current screen.
    std::optional<std::string> act(
        const std::function<std::optional<std::string>(web::PhoneModel&)>& action);
    web::PhoneScreen screen() const;

    // Writes raw bytes to the program.
    void send(const std::string& bytes);
    // Closes the phone's side: the program's port sees a hang-up. The phone stays closed.
    void hangUp();
    bool hungUp() const;

    // Every line received so far; every byte received, as it came.
    std::vector<Line> lines() const;
    std::string received() const;
    std::vector<std::string> texts() const;
    // Waits until `done(lines)` is true or the timeout passes; true when it became true.
    bool waitUntil(const std::function<bool(const std::vector<Line>&)>& done,
                   std::chrono::milliseconds timeout) const;
    // Waits for a line equal to `text` after the first `from` lines; its index, or -1.
    int waitForLine(const std::string& text, std::size_t from,
                    std::chrono::milliseconds timeout) const;

    static std::string okReply() { return "\r\nOK\r\n"; }
    static constexpr const char* kModel = web::PhoneModel::kModelName;

  private:
    void run();
    void handleBytes(const char* data, std::size_t size);
    void answer(const std::string& line);
    std::int64_t elapsedMs() const;
    void writeAll(const std::string& bytes);

    void startThread();

    int master_ = -1;
    bool socket_ = false;
    int slave_ = -1;  // kept open so that the master never reads end-of-file between sessions
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    std::string error_;
    std::chrono::steady_clock::time_point start_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Line> lines_;
    std::map<std::string, std::string> replies_;
    web::PhoneModel model_;
    bool silent_ = false;
    std::chrono::steady_clock::time_point silentUntil_;
    bool echo_ = false;
    bool hungUp_ = false;
    std::function<void(const Line&)> hook_;
    std::string partial_;
    std::string received_;
    std::mutex writeMutex_;
    std::thread thread_;
};

}  // namespace zintor::phone

#include "platform/windows/WinEventLoop.h"

#include <mmsystem.h>

#include <algorithm>

namespace zintor {
namespace {

constexpr UINT kPostedMessage = WM_APP + 1;
constexpr UINT_PTR kWakeTimer = 1;
constexpr UINT_PTR kHandlePollTimer = 2;
constexpr UINT kHandlePollMs = 10;
constexpr wchar_t kClassName[] = L"ZintorEventLoop";
// Messages handled per pass, so timers and posted calls still run under a flood of messages.
constexpr int kMessagesPerPass = 64;
constexpr std::size_t kMaxHandles = 60;

}  // namespace

WinEventLoop::WinEventLoop() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    timeBeginPeriod(1);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second loop registers it again
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinEventLoop::~WinEventLoop() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    timeEndPeriod(1);
}

LRESULT CALLBACK WinEventLoop::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* loop = reinterpret_cast<WinEventLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop != nullptr && message == WM_TIMER && wParam == kWakeTimer) {
        loop->runDueTimers();
        return 0;
    }
    if (loop != nullptr && message == WM_TIMER && wParam == kHandlePollTimer) {
        loop->runSignaledHandles();
        return 0;
    }
    if (loop != nullptr && message == kPostedMessage) {
        loop->postWakePending_ = false;
        loop->runPosted();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::int64_t WinEventLoop::nowUs() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::int64_t ticks = counter.QuadPart - start_.QuadPart;
    const std::int64_t perSecond = frequency_.QuadPart;
    return ticks / perSecond * 1'000'000 + ticks % perSecond * 1'000'000 / perSecond;
}

std::int64_t WinEventLoop::now() const {
    return nowUs() / 1000;
}

void WinEventLoop::waitFor(const std::function<bool()>& done) {
    // Every change the condition can see is made by a handler, so checking after each pass is
    // enough; in between the thread sleeps.
    while (!done()) {
        dispatchPass();
        if (done()) {
            break;
        }
        sleep(-1);
    }
}

void WinEventLoop::waitUntil(std::int64_t deadline) {
    const std::int64_t deadlineUs = deadline * 1000;
    if (nowUs() >= deadlineUs) {
        return;
    }
    while (true) {
        dispatchPass();
        if (nowUs() >= deadlineUs) {
            break;
        }
        sleep(deadlineUs);
    }
}

EventLoop::TimerId WinEventLoop::startTimer(int intervalMs, std::function<void()> tick) {
    const std::int64_t intervalUs = std::max(intervalMs, 1) * std::int64_t{1000};
    const TimerId id = nextTimer_++;
    timers_[id] = Timer{intervalUs, nowUs() + intervalUs,
                        std::make_shared<std::function<void()>>(std::move(tick))};
    armWakeTimer();
    return id;
}

void WinEventLoop::stopTimer(TimerId id) {
    // A wake-up armed for it finds nothing due, and a tick of it waiting finds it gone.
    timers_.erase(id);
}

void WinEventLoop::post(std::function<void()> call) {
    posted_.push_back(std::move(call));
    if (!postWakePending_) {
        postWakePending_ = true;
        PostMessageW(window_, kPostedMessage, 0, 0);
    }
}

WinEventLoop::HandleId WinEventLoop::addHandle(HANDLE handle, std::function<void()> signaled) {
    if (handles_.size() >= kMaxHandles) {
        return 0;
    }
    const HandleId id = nextHandle_++;
    handles_[id] = Watched{handle, std::move(signaled)};
    return id;
}

void WinEventLoop::removeHandle(HandleId id) {
    handles_.erase(id);
}

int WinEventLoop::run() {
    quitting_ = false;
    while (!quitting_) {
        dispatchPass();
        if (quitting_) {
            break;
        }
        sleep(-1);
    }
    return exitCode_;
}

void WinEventLoop::quit(int exitCode) {
    quitting_ = true;
    exitCode_ = exitCode;
}

void WinEventLoop::dispatchPass() {
    runMessages();
    runSignaledHandles();
    runDueTimers();
    runPosted();
}

void WinEventLoop::runMessages() {
    MSG message;
    for (int i = 0; i < kMessagesPerPass && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            quit(static_cast<int>(message.wParam));
            continue;
        }
        if (dialog_ != nullptr && IsDialogMessageW(dialog_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WinEventLoop::enter(std::function<void()> call) {
    if (callDepth_ > 0) {
        waiting_.push_back(std::move(call));
        return;
    }
    ++callDepth_;
    call();
    while (!waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    --callDepth_;
}

void WinEventLoop::runDueTimers() {
    const std::int64_t passUs = nowUs();
    std::vector<std::pair<std::int64_t, TimerId>> due;
    for (const auto& [id, timer] : timers_) {
        if (timer.dueUs <= passUs) {
            due.emplace_back(timer.dueUs, id);
        }
    }
    std::sort(due.begin(), due.end());
    // Each due timer ticks once per pass; one that fell behind (a long handler) is not made to
    // catch up with a burst of ticks, and one whose tick waits for the running call gets no
    // second one.
    for (const auto& [dueUs, id] : due) {
        const auto it = timers_.find(id);
        if (it == timers_.end() || it->second.dueUs > passUs) {
            continue;  // stopped, or seen by a pass inside a tick, meanwhile
        }
        Timer& timer = it->second;
        timer.dueUs += timer.intervalUs;
        if (timer.dueUs <= passUs) {
            timer.dueUs = passUs + timer.intervalUs;
        }
        if (timer.tickWaiting) {
            continue;
        }
        timer.tickWaiting = true;
        enter([this, id] {
            const auto found = timers_.find(id);
            if (found == timers_.end()) {
                return;  // stopped while the tick waited
            }
            found->second.tickWaiting = false;
            const std::shared_ptr<std::function<void()>> tick = found->second.tick;
            (*tick)();  // it may stop its own timer
        });
    }
    armWakeTimer();
}

void WinEventLoop::runPosted() {
    // The calls queued now; calls they post run in the next pass.
    for (std::size_t n = posted_.size(); n > 0 && !posted_.empty(); --n) {
        std::function<void()> call = std::move(posted_.front());
        posted_.pop_front();
        enter(std::move(call));
    }
}

WinEventLoop::ModalScope::ModalScope(WinEventLoop& loop) : loop_(loop) {
    if (loop_.modalDepth_++ == 0) {
        SetTimer(loop_.window_, kHandlePollTimer, kHandlePollMs, nullptr);
    }
}

WinEventLoop::ModalScope::~ModalScope() {
    if (--loop_.modalDepth_ == 0) {
        KillTimer(loop_.window_, kHandlePollTimer);
    }
}

void WinEventLoop::runSignaledHandles() {
    // A callback may add or remove handles, so each is looked up again before it is checked.
    std::vector<HandleId> ids;
    for (const auto& [id, watched] : handles_) {
        ids.push_back(id);
    }
    for (const HandleId id : ids) {
        const auto it = handles_.find(id);
        if (it != handles_.end() && WaitForSingleObject(it->second.handle, 0) == WAIT_OBJECT_0) {
            const std::function<void()> signaled = it->second.signaled;
            signaled();
        }
    }
}

void WinEventLoop::armWakeTimer() {
    if (timers_.empty()) {
        KillTimer(window_, kWakeTimer);
        return;
    }
    std::int64_t nextUs = timers_.begin()->second.dueUs;
    for (const auto& [id, timer] : timers_) {
        nextUs = std::min(nextUs, timer.dueUs);
    }
    const std::int64_t delayMs = std::max<std::int64_t>((nextUs - nowUs() + 999) / 1000, 0);
    SetTimer(window_, kWakeTimer,
             static_cast<UINT>(
                 std::clamp<std::int64_t>(delayMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM)),
             nullptr);
}

void WinEventLoop::sleep(std::int64_t untilUs) {
    ++sleeps_;  // counted also when it turns back at once: a loop that spins counts thousands
    if (!posted_.empty()) {
        return;  // work is waiting
    }
    std::int64_t wakeUs = untilUs;
    for (const auto& [id, timer] : timers_) {
        wakeUs = wakeUs < 0 ? timer.dueUs : std::min(wakeUs, timer.dueUs);
    }
    DWORD timeout = INFINITE;
    if (wakeUs >= 0) {
        const std::int64_t leftUs = wakeUs - nowUs();
        if (leftUs <= 0) {
            return;
        }
        // Rounded up: waking a little late beats waking early and going round without sleeping.
        timeout = static_cast<DWORD>(std::min<std::int64_t>((leftUs + 999) / 1000, 0x7fffffff));
    }
    std::vector<HANDLE> handles;
    for (const auto& [id, watched] : handles_) {
        handles.push_back(watched.handle);
    }
    MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(), timeout,
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace zintor

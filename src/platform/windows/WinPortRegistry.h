#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "core/ports/PortRegistry.h"
#include "platform/windows/WinEventLoop.h"

namespace zintor {

// The system's serial ports: the values of HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, the
// device's name and its port text ("COM3"; empty when the value is not a string), in the
// registry's order. A change listener is told when the key's values change (a device plugged in
// or out), through a registry notification served by the event loop, and when the system
// announces a port's arrival or removal (WM_DEVICECHANGE, broadcast to top-level windows: a
// hidden one listens).
class WinPortRegistry : public PortRegistry {
  public:
    static constexpr const wchar_t* kKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

    explicit WinPortRegistry(WinEventLoop& loop);
    ~WinPortRegistry() override;
    WinPortRegistry(const WinPortRegistry&) = delete;
    WinPortRegistry& operator=(const WinPortRegistry&) = delete;

    std::vector<RegisteredPort> listPorts() override;
    void setChangeListener(std::function<void()> changed) override;

    static constexpr const wchar_t* kWindowClass = L"ZintorPortWatch";

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void stopWatching();
    bool armNotification();
    void report();

    WinEventLoop& loop_;
    std::function<void()> changed_;
    HKEY watchedKey_ = nullptr;
    HANDLE event_ = nullptr;
    WinEventLoop::HandleId handle_ = 0;
    HWND window_ = nullptr;
};

}  // namespace zintor

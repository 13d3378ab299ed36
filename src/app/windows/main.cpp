// zintor.exe: the phone on a serial line as a remote control for this PC, as a Windows tray
// program.

#include <windows.h>

#include "core/ports/NoPhoneExtras.h"
#include "core/program/Program.h"
#include "platform/windows/K8055DllBoard.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/SendInputKeyboardMouse.h"
#include "platform/windows/WinDesktop.h"
#include "platform/windows/WinEventLoop.h"
#include "platform/windows/WinFiles.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinLogSink.h"
#include "platform/windows/WinMixer.h"
#include "platform/windows/WinPortRegistry.h"
#include "platform/windows/WinSerialLink.h"
#include "platform/windows/WinampPlayer.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace zintor;
    // One Zintor per user session: a second one would fight the first for the phone.
    HANDLE instance = CreateMutexW(nullptr, TRUE, L"Local\\Zintor");
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, L"Zintor is running already: its icon is in the notification area.",
                    L"Zintor", MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    WinEventLoop loop;
    WinLogSink logSink;
    RegistrySettingsStore settings(
        [&logSink](const std::string& message) { logSink.diagnostic(message); });
    WinPortRegistry registry(loop);
    WinSerialLink serial(loop);
    WinFiles files;
    WinDesktop desktop(loop);
    WinLauncher launcher;
    SendInputKeyboardMouse input;
    WinMixer mixer;
    WinampPlayer player(files, launcher);
    K8055DllBoard board;
    NoPhoneExtras extras;  // no web phone on Windows

    Program program(Ports{loop, serial, registry, settings, files, logSink, desktop, launcher,
                          input, mixer, player, board, extras});
    program.onExitRequested = [&loop] { loop.quit(0); };
    program.startup();
    const int status = loop.run();
    program.shutdownNow();
    if (instance != nullptr) {
        CloseHandle(instance);
    }
    return status;
}

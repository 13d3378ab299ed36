#include "platform/windows/WinDesktop.h"

#include <commdlg.h>

#include "platform/windows/WideText.h"
#include "platform/windows/WinDpi.h"
#include "platform/windows/WinKeyHelpWindow.h"
#include "platform/windows/WinNoticeWindow.h"
#include "platform/windows/WinSettingsWindow.h"
#include "platform/windows/WindowSelf.h"

namespace zintor {
namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr const char* kNoPortText = "No serial port found";

enum CommandId : int {
    kConnect = 1,
    kAutoConnect,
    kSettings,
    kExit,
    kNoPort,
    kPortBase = 100,
};

HWND childWindow(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id,
                 int x, int y, int w, int h) {
    HWND child = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    return child;
}

// The dialog's answer with ".ext" appended when it does not hold ".ext" anywhere (any case).
std::string appendExtension(std::string path, const std::string& extension) {
    std::string lower = path;
    std::string wanted = "." + extension;
    for (std::string* text : {&lower, &wanted}) {
        for (char& c : *text) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    if (lower.find(wanted) == std::string::npos) {
        path += "." + extension;
    }
    return path;
}

}  // namespace

WinDesktop::WinDesktop(WinEventLoop& loop) : loop_(loop) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = mainProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainClass;
    RegisterClassW(&windowClass);
    main_ =
        CreateWindowExW(0, kMainClass, L"Zintor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        CW_USEDEFAULT, CW_USEDEFAULT, 330, 130, nullptr, nullptr, instance, this);
    comLabel_ = childWindow(main_, L"STATIC", L"", SS_LEFT, 0, 10, 10, 300, 20);
    connectButton_ =
        childWindow(main_, L"BUTTON", L"Connect", BS_PUSHBUTTON, kConnect, 10, 40, 95, 26);
    childWindow(main_, L"BUTTON", L"Settings", BS_PUSHBUTTON, kSettings, 112, 40, 95, 26);
    childWindow(main_, L"BUTTON", L"Exit", BS_PUSHBUTTON, kExit, 214, 40, 95, 26);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_ = std::make_unique<WinTrayIcon>(main_, kTrayMessage);
    keyHelp_ = std::make_unique<WinKeyHelpWindow>([this] {
        if (events_ != nullptr) {
            events_->keyHelpClosed();
        }
    });
    notice_ = std::make_unique<WinNoticeWindow>(loop_, [this] {
        if (events_ != nullptr) {
            events_->noticeClosed();
        }
    });
}

WinDesktop::~WinDesktop() {
    keyHelp_.reset();
    notice_.reset();
    tray_.reset();
    if (main_ != nullptr) {
        SetWindowLongPtrW(main_, GWLP_USERDATA, 0);
        DestroyWindow(main_);
    }
}

LRESULT CALLBACK WinDesktop::mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowSelf<WinDesktop>(window, message, lParam);
    if (self != nullptr && self->main_ == window) {
        return self->handle(message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT WinDesktop::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_->restore();
        return 0;
    }
    switch (message) {
        case kTrayMessage:
            // The menu opens on the right button's press; other mouse messages do nothing. The
            // shell may be waiting for this message to return: the menu opens after it has.
            if (LOWORD(lParam) == WM_RBUTTONDOWN) {
                loop_.post([this] { popUpMenu(); });
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                command(LOWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            command(kExit);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != 0) {
                command(kExit);
            }
            return 0;
        default:
            return DefWindowProcW(main_, message, wParam, lParam);
    }
}

HMENU WinDesktop::buildMenu() const {
    HMENU phone = CreatePopupMenu();
    if (ports_.empty()) {
        AppendMenuW(phone, MF_STRING | MF_GRAYED, kNoPort, utf8ToWide(kNoPortText).c_str());
    }
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        AppendMenuW(phone, MF_STRING | (ports_[i].checked ? MF_CHECKED : 0),
                    kPortBase + static_cast<UINT_PTR>(i), utf8ToWide(ports_[i].caption).c_str());
    }
    AppendMenuW(phone, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(phone, MF_STRING | (autoConnectChecked_ ? MF_CHECKED : 0), kAutoConnect,
                L"AutoConnect");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kConnect, utf8ToWide(connectCaption_).c_str());
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(phone), L"Phone settings");
    AppendMenuW(menu, MF_STRING, kSettings, L"Program settings");
    AppendMenuW(menu, MF_STRING, kExit, L"Exit");
    return menu;
}

std::string WinDesktop::menuText() const {
    std::string text = connectCaption_ + "\nPhone settings\n";
    if (ports_.empty()) {
        text += std::string(" ") + kNoPortText + "\n";
    }
    for (const PortMenuItem& port : ports_) {
        text += " " + port.caption + (port.checked ? " *" : "") + "\n";
    }
    text += std::string(" -\n AutoConnect") + (autoConnectChecked_ ? " *" : "") +
            "\nProgram settings\nExit\n";
    return text;
}

void WinDesktop::popUpMenu() {
    HMENU menu = buildMenu();
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(main_);
    const WinEventLoop::ModalScope modal(loop_);
    const int chosen = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr));
    PostMessageW(main_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen != 0) {
        command(chosen);
    }
}

void WinDesktop::command(int id) {
    if (events_ == nullptr) {
        return;
    }
    if (id >= kPortBase) {
        events_->portChosen(id - kPortBase);
        return;
    }
    switch (id) {
        case kConnect:
            events_->connectClicked();
            break;
        case kAutoConnect:
            events_->autoConnectClicked();
            break;
        case kSettings:
            events_->settingsClicked();
            break;
        case kExit:
            if (!exiting_) {
                exiting_ = true;
                events_->exitClicked();
            }
            break;
        default:
            break;
    }
}

void WinDesktop::setListener(DesktopEvents* events) {
    events_ = events;
}

void WinDesktop::trayAdd(const std::string& tip) {
    tray_->add(tip);
    if (pendingNotice_) {
        tray_->balloon(pendingNotice_->first, pendingNotice_->second);
        pendingNotice_.reset();
    }
}

void WinDesktop::traySetTip(const std::string& tip) {
    tray_->setTip(tip);
}

void WinDesktop::trayShowFrame(int frame) {
    tray_->showFrame(frame);
}

void WinDesktop::trayRemove() {
    tray_->remove();
}

void WinDesktop::setConnectCaption(const std::string& caption) {
    connectCaption_ = caption;
    SetWindowTextW(connectButton_, utf8ToWide(caption).c_str());
}

void WinDesktop::setAutoConnectChecked(bool checked) {
    autoConnectChecked_ = checked;
}

void WinDesktop::setPortItems(const std::vector<PortMenuItem>& items) {
    ports_ = items;
}

void WinDesktop::setPortChecked(int index, bool checked) {
    if (index >= 0 && static_cast<std::size_t>(index) < ports_.size()) {
        ports_[static_cast<std::size_t>(index)].checked = checked;
    }
}

void WinDesktop::setPortLabel(const std::string& text) {
    SetWindowTextW(comLabel_, utf8ToWide(text).c_str());
}

void WinDesktop::hideMainWindow() {
    ShowWindow(main_, SW_HIDE);
}

void WinDesktop::mainWindowPosition(int& left, int& top) {
    RECT rect{};
    GetWindowRect(main_, &rect);
    left = toProgramPixels(rect.left, screenDpi(main_, LOGPIXELSX));
    top = toProgramPixels(rect.top, screenDpi(main_, LOGPIXELSY));
}

SettingsForm WinDesktop::showSettings(const SettingsForm& form) {
    WinSettingsWindow window(
        loop_, form,
        [this](int speed) {
            if (events_ != nullptr) {
                events_->mouseSpeedChanged(speed);
            }
        },
        [this](HWND) { return chooseFile("Select File", "exe"); });
    return window.run();
}

void WinDesktop::showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>& rows) {
    keyHelp_->show(caption, rows);
}

void WinDesktop::closeKeyHelp() {
    keyHelp_->close();
}

void WinDesktop::showNotice(const std::string& text) {
    notice_->show(text);
}

void WinDesktop::setNoticeText(const std::string& text) {
    notice_->setText(text);
}

void WinDesktop::closeNotice() {
    notice_->close();
}

void WinDesktop::messageBox(const std::string& title, const std::string& text, bool critical) {
    const WinEventLoop::ModalScope modal(loop_);
    MessageBoxW(nullptr, utf8ToWide(text).c_str(), utf8ToWide(title).c_str(),
                MB_OK | MB_SETFOREGROUND | (critical ? MB_ICONERROR : MB_ICONINFORMATION));
}

void WinDesktop::notify(const std::string& title, const std::string& text) {
    // Before the icon is there (a broken key map is found first) the balloon waits for it.
    if (!tray_->balloon(title, text)) {
        pendingNotice_ = std::make_pair(title, text);
    }
}

std::optional<std::string> WinDesktop::chooseFile(const std::string& title,
                                                  const std::string& extension) {
    const std::wstring ext = utf8ToWide(extension);
    const std::wstring entry = ext + L" (*." + ext + L")" + L'\0' + L"*." + ext + L'\0';
    const std::wstring filter = entry + entry + L'\0';
    const std::wstring caption = utf8ToWide(title);
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = caption.c_str();
    dialog.Flags = OFN_EXPLORER;
    const WinEventLoop::ModalScope modal(loop_);
    if (GetOpenFileNameW(&dialog) == 0) {
        return std::nullopt;
    }
    std::string path = wideToUtf8(file);
    return appendExtension(path, extension);
}

}  // namespace zintor

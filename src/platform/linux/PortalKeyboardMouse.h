#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <bitset>
#include <functional>
#include <string>

#include "core/ports/KeyboardMouse.h"
#include "core/ports/LogSink.h"

namespace zintor {

// Keyboard and mouse input on Wayland desktops without wlroots' virtual devices (GNOME, KDE
// Plasma) through the RemoteDesktop portal of xdg-desktop-portal. The desktop asks the user
// whether Zintor may control the keyboard and pointer. A portal of version 2 or later keeps the
// permission: the restore token it gives back is kept (through `saveToken`) and offered the next
// time, so that it need not ask again. Version 1 (xdg-desktop-portal before 1.17, as in Debian
// 12) knows neither: its desktop asks at every start (said once). Keys go as key symbols, which
// the desktop types on the layout in use, characters too; the cursor moves relatively. Input before
// the user has agreed is dropped (said once).
class PortalKeyboardMouse final : public QObject, public KeyboardMouse {
    Q_OBJECT

  public:
    // `version`: the portal's, as offeredVersion() tells it.
    PortalKeyboardMouse(QDBusConnection bus, unsigned version, std::string restoreToken,
                        std::function<void(const std::string&)> saveToken, Diagnostic diagnostic);

    // The version of the desktop portal's remote desktop control on `bus`; 0 when there is none.
    static unsigned offeredVersion(QDBusConnection bus);
    // Asks the portal for a session; it runs once the desktop (or the user) agrees.
    void start();
    bool running() const { return stage_ == Stage::kRunning; }

    void keyDown(std::uint8_t vk) override;
    void keyUp(std::uint8_t vk) override;
    void keyPress(std::uint8_t vk) override;
    void leftButtonDown() override;
    void leftButtonUp() override;
    void rightButtonDown() override;
    void rightButtonUp() override;
    // As its key symbol: the desktop finds the key on its layout (GNOME drops one it lacks).
    bool typeCharacter(char32_t character) override;
    // Always false: the portal does not tell where the cursor is.
    bool getCursor(int& x, int& y) override;
    void setCursor(int x, int y) override;
    void moveCursorBy(int dx, int dy) override;
    void wheel(int dx, int dy) override;

  private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onSessionClosed();

  private:
    enum class Stage { kIdle, kCreating, kSelecting, kStarting, kRunning, kRefused };

    // Calls a portal method whose answer comes as a Response signal on a request object.
    void request(const QString& method, QVariantList arguments, QVariantMap options);
    void watch(const QString& requestPath);
    // True when input can go out now; starts a session when there is none.
    bool usable();
    void notify(const QString& method, const QVariantList& arguments);
    void sendKey(std::uint8_t vk, bool down);
    void sendButton(int button, bool down);

    QDBusConnection bus_;
    unsigned version_;
    std::string restoreToken_;
    std::function<void(const std::string&)> saveToken_;
    Diagnostic diagnostic_;
    Stage stage_ = Stage::kIdle;
    QString session_;
    QString watched_;
    unsigned requests_ = 0;
    bool waitReported_ = false;
    bool versionReported_ = false;
    std::bitset<256> reported_;
};

}  // namespace zintor

#include "app/SettingsDialog.h"

#include "Version.h"
#include "link/Link.h"

namespace zintor {

void ShowSettingsWindow(ProgramState& state, Ports& ports, Link& link) {
    SettingsForm form;
    for (int i = 0; i < 9; ++i) {
        form.appName[i] = state.AppName[i];
    }
    for (int i = 0; i < 10; ++i) {
        form.appPath[i] = state.AppPath[i];
    }
    form.autoConnect = state.AutoConnect;
    form.mouseSpeed = state.MouseSpeed;
    form.version = VersionText();
    form.left = state.SettingLeft;
    form.top = state.SettingTop;

    const SettingsForm shown = ports.desktop.showSettings(form);

    state.SettingLeft = shown.left;
    state.SettingTop = shown.top;
    const int autoConnectBefore = state.AutoConnect;
    state.AutoConnect = shown.autoConnect == 1 ? 1 : 0;
    // The tray's AutoConnect entry follows a change made here, so the two never disagree.
    if (state.AutoConnect != autoConnectBefore) {
        ports.desktop.setAutoConnectChecked(state.AutoConnect == 1);
    }
    for (int i = 0; i < 9; ++i) {
        state.AppName[i] = shown.appName[i];
    }
    for (int i = 0; i < 10; ++i) {
        state.AppPath[i] = shown.appPath[i];
    }
    ports.desktop.mainWindowPosition(state.MainLeft, state.MainTop);
    link.SaveSettings();
}

}  // namespace zintor

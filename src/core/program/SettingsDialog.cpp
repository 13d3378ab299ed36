#include "core/program/SettingsDialog.h"

#include "Version.h"
#include "core/link/Link.h"

namespace zintor {

void showSettingsWindow(ProgramState& state, Ports& ports, Link& link) {
    SettingsForm form;
    for (int i = 0; i < 9; ++i) {
        form.appName[i] = state.appName[i];
    }
    for (int i = 0; i < 10; ++i) {
        form.appPath[i] = state.appPath[i];
    }
    form.autoConnect = state.autoConnect;
    form.mouseSpeed = state.mouseSpeed;
    form.version = versionText();
    form.left = state.settingLeft;
    form.top = state.settingTop;

    const SettingsForm shown = ports.desktop.showSettings(form);

    state.settingLeft = shown.left;
    state.settingTop = shown.top;
    const bool autoConnectBefore = state.autoConnect;
    state.autoConnect = shown.autoConnect;
    // The tray's autoConnect entry follows a change made here, so the two never disagree.
    if (state.autoConnect != autoConnectBefore) {
        ports.desktop.setAutoConnectChecked(state.autoConnect);
    }
    for (int i = 0; i < 9; ++i) {
        state.appName[i] = shown.appName[i];
    }
    for (int i = 0; i < 10; ++i) {
        state.appPath[i] = shown.appPath[i];
    }
    ports.desktop.mainWindowPosition(state.mainLeft, state.mainTop);
    link.settings.save();
}

}  // namespace zintor

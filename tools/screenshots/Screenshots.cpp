// Writes pictures of Zintor's windows (PNG) for the README: the settings window, the key help
// window for the default key map, the key-map notice and the main window.
//
//   zintor-screenshots [output folder] [key map file]
//
// Run by scripts/screenshots under Xvfb; needs no user.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "Version.h"
#include "core/control/KeyHelpContent.h"
#include "core/keymap/KeyMapLoader.h"
#include "core/link/transport/LinkTexts.h"
#include "core/program/KeyNames.h"
#include "core/program/SettingsDialog.h"
#include "platform/qt/KeyHelpWindow.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/NoticeWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/SettingsWindow.h"

namespace {

using namespace zintor;

void settle() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

bool save(QWidget* window, const QString& folder, const char* name) {
    window->show();
    settle();
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (!window->grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

SettingsForm exampleForm() {
    SettingsForm form;
    const char* names[] = {"Mail", "Browser", "Terminal", "Calculator", "Slides"};
    const char* paths[] = {"/usr/bin/thunderbird", "/usr/bin/firefox",
                           "/usr/bin/x-terminal-emulator", "/usr/bin/gnome-calculator",
                           "/usr/bin/libreoffice"};
    for (int i = 0; i < 5; ++i) {
        form.appName[i] = names[i];
        form.appPath[i] = paths[i];
    }
    form.appPath[9] = "/usr/bin/audacious";
    form.autoConnect = 1;
    form.mouseSpeed = 5;
    form.version = versionText();
    return form;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    const QString keyMapPath = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                        : QStringLiteral(ZINTOR_SOURCE_DIR "/data/KeyMap.xml");
    QDir().mkpath(folder);

    ProgramState state;
    fillKeyNames(state);
    QFile file(keyMapPath);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(keyMapPath));
        return 1;
    }
    const QByteArray text = file.readAll();
    const KeyMapLoadResult loaded = loadKeyMaps(std::string_view(text.constData(), text.size()),
                                                state.keyMaps, state.usbOutputs);
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s\n",
                     formatLoadError(keyMapPath.toStdString(), *loaded.error).c_str());
        return 1;
    }

    QtDesktop desktop;
    bool ok = true;

    SettingsWindow settings(exampleForm(), nullptr);
    ok = save(&settings, folder, "settings.png") && ok;
    settings.hide();

    state.currentKeyMap = 0;
    desktop.showKeyHelp(keyHelpCaption(state), keyHelpRows(state));
    ok = save(desktop.keyHelpWindow(), folder, "keyhelp.png") && ok;
    desktop.closeKeyHelp();

    state.currentKeyMap = state.keyMaps.size() > 1 ? 1 : 0;
    desktop.showNotice(noticeText(state));
    ok = save(desktop.noticeWindow(), folder, "notice.png") && ok;
    desktop.closeNotice();

    desktop.setPortLabel(std::string(link_texts::kComLabel) + "3");
    desktop.setPortItems({{"Serial Com1", false}, {"Bluetooth Com3", true}});
    desktop.mainWindow().setNoTrayLineShown(true);
    ok = save(&desktop.mainWindow(), folder, "main.png") && ok;

    return ok ? 0 : 1;
}

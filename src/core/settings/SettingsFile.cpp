#include "core/settings/SettingsFile.h"

#include "core/log/DiagnosticLog.h"
#include "core/settings/SettingsText.h"

namespace zintor {

namespace {

constexpr const char* kPlayerPathValue = "AppPath9";
constexpr const char* kLogSwitchValue = "Log";

// A stored number that does not read as one falls back to its default; the log and the
// diagnostic channel say so, since the store may have been edited by hand.
template <typename T>
T number(DiagnosticLog& log, LogSink& sink, SettingsStore& store, const std::string& name,
         const std::string& fallbackText, T fallback, std::optional<T> (*parse)(std::string_view)) {
    const std::string text = store.read(name, fallbackText);
    if (const auto value = parse(text)) {
        return *value;
    }
    const std::string message =
        "Setting " + name + " is not a number: \"" + text + "\", using " + fallbackText;
    log.write(message);
    sink.diagnostic(message);
    return fallback;
}

}  // namespace

void SettingsFile::load() {
    ProgramState& s = state_;
    SettingsStore& store = ports_.settings;
    LogSink& sink = ports_.logSink;
    auto int16 = [&](const char* name, std::int16_t fallback) {
        return number<std::int16_t>(log_, sink, store, name, std::to_string(fallback), fallback,
                                    parseInt16);
    };
    auto single = [&](const char* name) {
        return number<float>(log_, sink, store, name, "0", 0.0f, parseSingle);
    };

    s.comPort = int16("Com", 1);
    s.mouseSpeed = int16("Speed", 5);
    for (int slot = 0; slot < 9; ++slot) {
        s.appName[slot] = store.read(appNameValue(slot), "");
        s.appPath[slot] = store.read(appPathValue(slot), "");
    }
    s.appPath[9] = store.read(kPlayerPathValue, "");
    s.lastKeyMap = int16("LastKeyMap", 0);
    s.mainLeft = single("MainLeft");
    s.mainTop = single("MainTop");
    s.settingLeft = single("SettingLeft");
    s.settingTop = single("SettingTop");
    s.autoConnect = int16("Auto", 1);
}

void SettingsFile::readLogSwitch() {
    state_.logEnabled = ports_.settings.read(kLogSwitchValue, "0") == "1";
}

void SettingsFile::save() {
    const ProgramState& s = state_;
    SettingsStore& store = ports_.settings;
    store.write("Com", std::to_string(s.comPort));
    store.write("Speed", std::to_string(s.mouseSpeed));
    for (int slot = 0; slot < 9; ++slot) {
        store.write(appNameValue(slot), s.appName[slot]);
        store.write(appPathValue(slot), s.appPath[slot]);
    }
    store.write(kPlayerPathValue, s.appPath[9]);
    store.write("LastKeyMap", std::to_string(s.lastKeyMap));
    store.write("MainLeft", formatSingle(s.mainLeft));
    store.write("MainTop", formatSingle(s.mainTop));
    store.write("SettingLeft", formatSingle(s.settingLeft));
    store.write("SettingTop", formatSingle(s.settingTop));
    store.write("Auto", std::to_string(s.autoConnect));
    store.flush();
}

}  // namespace zintor

// Copies the stored settings ("Zintor4", section "Settings") to the program state and back.

#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/SettingsText.h"

namespace zintor {

namespace {

constexpr const char* kWinampPathValue = "AppPath9";
constexpr const char* kLogSwitchValue = "Log";

// A stored number that does not read as one falls back to its default; the log and the
// diagnostic channel say so, since the store may have been edited by hand.
template <typename T>
T Number(Link& link, LogSink& sink, SettingsStore& store, const std::string& name,
         const std::string& fallbackText, T fallback, std::optional<T> (*parse)(std::string_view)) {
    const std::string text = store.read(name, fallbackText);
    if (const auto value = parse(text)) {
        return *value;
    }
    const std::string message =
        "Setting " + name + " is not a number: \"" + text + "\", using " + fallbackText;
    link.WriteLog(message);
    sink.diagnostic(message);
    return fallback;
}

}  // namespace

void Link::LoadSettings() {
    ProgramState& s = impl_->state;
    SettingsStore& store = impl_->ports.settings;
    LogSink& sink = impl_->ports.logSink;
    auto int16 = [&](const char* name, std::int16_t fallback) {
        return Number<std::int16_t>(*this, sink, store, name, std::to_string(fallback), fallback,
                                    ParseInt16);
    };
    auto single = [&](const char* name) {
        return Number<float>(*this, sink, store, name, "0", 0.0f, ParseSingle);
    };

    s.ComPort = int16("Com", 1);
    s.MouseSpeed = int16("Speed", 5);
    for (int slot = 0; slot < 9; ++slot) {
        s.AppName[slot] = store.read(AppNameValue(slot), "");
        s.AppPath[slot] = store.read(AppPathValue(slot), "");
    }
    s.AppPath[9] = store.read(kWinampPathValue, "");
    s.LastKeyMap = int16("LastKeyMap", 0);
    s.MainLeft = single("MainLeft");
    s.MainTop = single("MainTop");
    s.SettingLeft = single("SettingLeft");
    s.SettingTop = single("SettingTop");
    s.AutoConnect = int16("Auto", 1);
}

void Link::ReadLogSwitch() {
    impl_->state.LogEnabled = impl_->ports.settings.read(kLogSwitchValue, "0") == "1";
}

void Link::SaveSettings() {
    const ProgramState& s = impl_->state;
    SettingsStore& store = impl_->ports.settings;
    store.write("Com", std::to_string(s.ComPort));
    store.write("Speed", std::to_string(s.MouseSpeed));
    for (int slot = 0; slot < 9; ++slot) {
        store.write(AppNameValue(slot), s.AppName[slot]);
        store.write(AppPathValue(slot), s.AppPath[slot]);
    }
    store.write(kWinampPathValue, s.AppPath[9]);
    store.write("LastKeyMap", std::to_string(s.LastKeyMap));
    store.write("MainLeft", FormatSingle(s.MainLeft));
    store.write("MainTop", FormatSingle(s.MainTop));
    store.write("SettingLeft", FormatSingle(s.SettingLeft));
    store.write("SettingTop", FormatSingle(s.SettingTop));
    store.write("Auto", std::to_string(s.AutoConnect));
    store.flush();
}

}  // namespace zintor

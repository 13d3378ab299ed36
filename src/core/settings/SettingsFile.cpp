#include "core/settings/SettingsFile.h"

#include "core/log/DiagnosticLog.h"
#include "core/settings/SettingsText.h"
#include "core/settings/Twips.h"

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
    auto pixels = [&](const char* name) {
        const float twips = number<float>(log_, sink, store, name, "0", 0.0f, parseSingle);
        const int converted = twipsToPixels(twips);
        storedPositions_[name] = {twips, converted};
        return converted;
    };

    // Numbers are read as 16-bit values as they always were: a larger one is not a number.
    s.comPort = int16("Com", 1);
    s.mouseSpeed = int16("Speed", 5);
    for (int slot = 0; slot < 9; ++slot) {
        s.appName[slot] = store.read(appNameValue(slot), "");
        s.appPath[slot] = store.read(appPathValue(slot), "");
    }
    s.appPath[9] = store.read(kPlayerPathValue, "");
    s.lastKeyMap = int16("LastKeyMap", 0);
    s.mainLeft = pixels("MainLeft");
    s.mainTop = pixels("MainTop");
    s.settingLeft = pixels("SettingLeft");
    s.settingTop = pixels("SettingTop");
    s.autoConnect = int16("Auto", 1) == 1;  // any other number is off
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
    writePosition("MainLeft", s.mainLeft);
    writePosition("MainTop", s.mainTop);
    writePosition("SettingLeft", s.settingLeft);
    writePosition("SettingTop", s.settingTop);
    store.write("Auto", s.autoConnect ? "1" : "0");
    store.flush();
}

void SettingsFile::writePosition(const std::string& name, int pixels) {
    const auto stored = storedPositions_.find(name);
    const bool unmoved = stored != storedPositions_.end() && stored->second.pixels == pixels;
    ports_.settings.write(name,
                          formatSingle(unmoved ? stored->second.twips : pixelsToTwips(pixels)));
}

}  // namespace zintor

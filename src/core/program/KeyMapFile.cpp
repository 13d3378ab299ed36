#include "core/program/KeyMapFile.h"

#include <algorithm>
#include <vector>

#include "core/keymap/TextPosition.h"
#include "core/link/Link.h"

namespace zintor {
namespace {

// The places of KeyMap.xml, the preferred first.
std::vector<std::string> keyMapPlaces(Files& files) {
    std::vector<std::string> places;
    for (KnownFolder folder : {KnownFolder::kConfig, KnownFolder::kProgram, KnownFolder::kData}) {
        const std::string place = files.folder(folder) + files.separator() + kKeyMapFileName;
        if (std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(place);
        }
    }
    return places;
}

}  // namespace

std::string keyMapFilePath(Files& files) {
    const std::vector<std::string> places = keyMapPlaces(files);
    for (const std::string& place : places) {
        if (files.exists(place)) {
            return place;
        }
    }
    return places.back();
}

KeyMapFileOutcome loadKeyMapFile(ProgramState& state, Files& files) {
    KeyMapFileOutcome outcome;
    outcome.path = keyMapFilePath(files);
    if (!files.exists(outcome.path)) {
        const std::vector<std::string> places = keyMapPlaces(files);
        std::string looked = places.front();
        for (std::size_t i = 1; i < places.size(); ++i) {
            looked += (i + 1 == places.size() ? " and " : ", ") + places[i];
        }
        outcome.problem =
            join({kKeyMapFileName, " not found (looked for ", looked, "); no key maps loaded"});
        return outcome;
    }
    std::string text;
    if (!files.readText(outcome.path, text)) {
        outcome.problem = join({outcome.path, ": cannot be read; no key maps loaded"});
        return outcome;
    }
    text = keyMapTextAsUtf8(std::move(text));
    const KeyMapLoadResult result = loadKeyMaps(text, state.keyMaps, state.usbOutputs);
    if (result.error) {
        outcome.problem = formatLoadError(outcome.path, *result.error);
    }
    return outcome;
}

void readKeyMapFile(ProgramState& state, Ports& ports, Link& link) {
    const KeyMapFileOutcome outcome = loadKeyMapFile(state, ports.files);
    if (!outcome.problem) {
        return;
    }
    link.log.write(*outcome.problem);
    ports.logSink.diagnostic(*outcome.problem);
    ports.desktop.notify(kKeyMapNoticeTitle, *outcome.problem);
}

}  // namespace zintor

#include "keymap/KeyMapFile.h"

#include <algorithm>
#include <vector>

#include "keymap/TextPosition.h"
#include "link/Link.h"

namespace zintor {
namespace {

// The places of KeyMap.xml, the preferred first.
std::vector<std::string> Places(Files& files) {
    std::vector<std::string> places;
    for (KnownFolder folder : {KnownFolder::Config, KnownFolder::Program, KnownFolder::Data}) {
        const std::string place = files.folder(folder) + files.separator() + kKeyMapFileName;
        if (std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(place);
        }
    }
    return places;
}

}  // namespace

std::string KeyMapFilePath(Files& files) {
    const std::vector<std::string> places = Places(files);
    for (const std::string& place : places) {
        if (files.exists(place)) {
            return place;
        }
    }
    return places.back();
}

KeyMapFileOutcome LoadKeyMapFile(ProgramState& state, Files& files, EventLoop& loop) {
    KeyMapFileOutcome outcome;
    outcome.path = KeyMapFilePath(files);
    if (!files.exists(outcome.path)) {
        const std::vector<std::string> places = Places(files);
        std::string looked = places.front();
        for (std::size_t i = 1; i < places.size(); ++i) {
            looked += (i + 1 == places.size() ? " and " : ", ") + places[i];
        }
        outcome.problem =
            Join({kKeyMapFileName, " not found (looked for ", looked, "); no key maps loaded"});
        return outcome;
    }
    std::string text;
    if (!files.readText(outcome.path, text)) {
        outcome.problem = Join({outcome.path, ": cannot be read; no key maps loaded"});
        return outcome;
    }
    text = KeyMapTextAsUtf8(std::move(text));
    const KeyMapLoadResult result = LoadKeyMaps(state, text, loop);
    if (result.error) {
        outcome.problem = FormatLoadError(outcome.path, *result.error);
    }
    return outcome;
}

void ReadKeyMapFile(ProgramState& state, Ports& ports, Link& link) {
    const KeyMapFileOutcome outcome = LoadKeyMapFile(state, ports.files, ports.loop);
    if (!outcome.problem) {
        return;
    }
    link.WriteLog(*outcome.problem);
    ports.logSink.diagnostic(*outcome.problem);
    ports.desktop.notify(kKeyMapNoticeTitle, *outcome.problem);
}

}  // namespace zintor

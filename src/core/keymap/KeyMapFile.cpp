#include "keymap/KeyMapFile.h"

#include "keymap/TextPosition.h"
#include "link/Link.h"

namespace zintor {
namespace {

std::string InFolder(Files& files, KnownFolder folder) {
    return files.folder(folder) + files.separator() + kKeyMapFileName;
}

}  // namespace

std::string KeyMapFilePath(Files& files) {
    const std::string own = InFolder(files, KnownFolder::Config);
    if (files.exists(own)) {
        return own;
    }
    return InFolder(files, KnownFolder::Program);
}

KeyMapFileOutcome LoadKeyMapFile(ProgramState& state, Files& files, EventLoop& loop) {
    KeyMapFileOutcome outcome;
    outcome.path = KeyMapFilePath(files);
    if (!files.exists(outcome.path)) {
        outcome.problem =
            Join({kKeyMapFileName, " not found (looked for ", InFolder(files, KnownFolder::Config),
                  " and ", outcome.path, "); no key maps loaded"});
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

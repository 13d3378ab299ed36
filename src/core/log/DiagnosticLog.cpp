#include "core/log/DiagnosticLog.h"

#include "core/files/FileHelpers.h"
#include "core/log/LogText.h"

namespace zintor {

void DiagnosticLog::init() {
    if (!state_.logEnabled) {
        return;
    }
    Files& files = ports_.files;
    std::string folder = files.folder(KnownFolder::kLog);
    while (folder.size() > 1 && folder.back() == files.separator()) {
        folder.pop_back();
    }
    if (!createFolderPath(files, folder)) {
        state_.logEnabled = false;
        ports_.logSink.diagnostic("Diagnostic log switched off: cannot create " + folder);
        return;
    }
    fileName_ = folder + files.separator() + logFileNameForDate(ports_.logSink.dateText());
}

void DiagnosticLog::write(std::string text) {
    if (!state_.logEnabled) {
        return;
    }
    applyLogTags(text);
    LogSink& sink = ports_.logSink;
    const std::string line = sink.dateText() + '\t' + sink.timeText() + '\t' + text;
    if (!ports_.files.appendLine(fileName_, line) && !failureReported_) {
        failureReported_ = true;
        sink.diagnostic("Cannot write the diagnostic log " + fileName_);
    }
}

}  // namespace zintor

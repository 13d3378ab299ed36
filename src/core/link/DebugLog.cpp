// The diagnostic log: one file per day of start, one line per call, off unless logEnabled.

#include "link/FileHelpers.h"
#include "link/Link.h"
#include "link/LinkImpl.h"
#include "link/LogText.h"

namespace zintor {

void Link::initLog() {
    ProgramState& s = impl_->state;
    if (!s.logEnabled) {
        return;
    }
    Files& files = impl_->ports.files;
    std::string folder = files.folder(KnownFolder::Log);
    while (folder.size() > 1 && folder.back() == files.separator()) {
        folder.pop_back();
    }
    if (!createFolderPath(files, folder)) {
        s.logEnabled = false;
        impl_->ports.logSink.diagnostic("Diagnostic log switched off: cannot create " + folder);
        return;
    }
    s.logFileName =
        folder + files.separator() + logFileNameForDate(impl_->ports.logSink.dateText());
}

void Link::writeLog(std::string text) {
    ProgramState& s = impl_->state;
    if (!s.logEnabled) {
        return;
    }
    applyLogTags(text);
    LogSink& sink = impl_->ports.logSink;
    const std::string line = sink.dateText() + '\t' + sink.timeText() + '\t' + text;
    if (!impl_->ports.files.appendLine(s.logFileName, line) && !impl_->logFailureReported) {
        impl_->logFailureReported = true;
        sink.diagnostic("Cannot write the diagnostic log " + s.logFileName);
    }
}

}  // namespace zintor

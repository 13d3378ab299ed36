#include "RecordingProcedures.h"

namespace zintor {

std::vector<std::string> RecordingProcedures::texts() const {
    std::vector<std::string> out;
    for (const Call& call : calls) {
        out.push_back(call.text);
    }
    return out;
}

void RecordingProcedures::ErrorMessage(const std::string& sInput, int lTimeOut, int iSelect) {
    record("ErrorMessage", sInput + "," + std::to_string(lTimeOut) + "," + std::to_string(iSelect));
}

void RecordingProcedures::record(const std::string& name, const std::string& argument) {
    calls.push_back({loop_.now(), name + "(" + argument + ")"});
    if (auto it = on.find(name); it != on.end()) {
        it->second(argument);
    }
}

}  // namespace zintor

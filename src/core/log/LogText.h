#pragma once

#include <string>

namespace zintor {

// Shortens AT prefixes in a log message to their tags (">AT=4<" for AT*EASM and so on), every
// occurrence, in the fixed order that makes "*EAMI: 3" read ">AT=6< 3".
void applyLogTags(std::string& text);

// The day's log file name: the date text with "/" and "." turned into "-", then ".txt".
std::string logFileNameForDate(std::string dateText);

}  // namespace zintor

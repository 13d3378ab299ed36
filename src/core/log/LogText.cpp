#include "core/log/LogText.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace zintor {

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kTags{{
    {"at+cscs", ">CharSet<"},
    {"AT*EAM", ">AT=1<"},
    {"AT+CMER", ">AT=2<"},
    {"*EAAI", ">AT=3<"},
    {"AT*EASM", ">AT=4<"},
    {"AT*EAID", ">AT=5<"},
    {"*EAMI:", ">AT=6<"},
    {"+CKEV:", ">AT=7<"},
    {"*EAII:", ">AT=8<"},
    {"*EAMI", ">AT=9<"},
}};

}  // namespace

void applyLogTags(std::string& text) {
    for (const auto& [from, to] : kTags) {
        replaceAll(text, from, to);
    }
}

std::string logFileNameForDate(std::string dateText) {
    std::replace(dateText.begin(), dateText.end(), '/', '-');
    std::replace(dateText.begin(), dateText.end(), '.', '-');
    return dateText + ".txt";
}

}  // namespace zintor

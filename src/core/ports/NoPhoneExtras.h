#pragma once

#include <string>
#include <vector>

#include "core/ports/PhoneExtras.h"

namespace zintor {

// A phone on a serial line: it shows nothing beyond the accessory commands.
class NoPhoneExtras final : public PhoneExtras {
  public:
    void setListener(PhoneExtrasEvents*) override {}
    void showKeyFunctions(const std::string&, const std::vector<KeyFunction>&) override {}
    void showKeyHelp(bool) override {}
};

}  // namespace zintor

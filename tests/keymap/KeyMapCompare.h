#pragma once

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/ProgramState.h"

namespace zintor::testing {

// Whole key maps and USB names compared field by field, with a readable first difference.
inline ::testing::AssertionResult SameKeyMaps(const std::vector<KeyMap>& a,
                                              const std::vector<KeyMap>& b) {
    if (a.size() != b.size()) {
        return ::testing::AssertionFailure() << a.size() << " key maps vs " << b.size();
    }
    for (std::size_t m = 0; m < a.size(); ++m) {
        if (a[m].Name != b[m].Name) {
            return ::testing::AssertionFailure() << "name of key map " << m;
        }
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& x = a[m].Keys[k];
            const KeyEntry& y = b[m].Keys[k];
            if (x.Name != y.Name || x.Help != y.Help || x.Commands.size() != y.Commands.size()) {
                return ::testing::AssertionFailure() << "key " << k << " of key map " << m;
            }
            for (std::size_t c = 0; c < x.Commands.size(); ++c) {
                const KeyCommand& p = x.Commands[c];
                const KeyCommand& q = y.Commands[c];
                if (p.Type != q.Type || p.Text != q.Text || p.Value != q.Value ||
                    p.Code != q.Code) {
                    return ::testing::AssertionFailure()
                           << "command " << c << " of key " << k << " of key map " << m;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SameOutputs(const std::array<USBOutput, 8>& a,
                                              const std::array<USBOutput, 8>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].NameOn != b[i].NameOn || a[i].NameOff != b[i].NameOff ||
            a[i].State != b[i].State) {
            return ::testing::AssertionFailure() << "USB output " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace zintor::testing

// libFuzzer target for the key-map loader. Every input is loaded; inputs up to 4 KiB are also
// loaded by the literal front-consuming reader, and any difference (key maps, USB names, error
// kind or position) aborts, so the fuzzer hunts for mismatches as well as for crashes, hangs
// and out-of-bounds reads (it is built with AddressSanitizer and UBSan).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "LiteralKeyMapLoader.h"
#include "core/keymap/KeyMapLoader.h"

namespace {

using namespace zintor;

bool same(const KeyCommand& a, const KeyCommand& b) {
    return a.type == b.type && a.text == b.text && a.value == b.value && a.code == b.code;
}

bool same(const std::vector<KeyMap>& a, const std::vector<KeyMap>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t m = 0; m < a.size(); ++m) {
        if (a[m].name != b[m].name) {
            return false;
        }
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& x = a[m].keys[k];
            const KeyEntry& y = b[m].keys[k];
            if (x.name != y.name || x.help != y.help || x.commands.size() != y.commands.size()) {
                return false;
            }
            for (std::size_t c = 0; c < x.commands.size(); ++c) {
                if (!same(x.commands[c], y.commands[c])) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool same(const std::array<USBOutput, 8>& a, const std::array<USBOutput, 8>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].nameOn != b[i].nameOn || a[i].nameOff != b[i].nameOff) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    std::vector<KeyMapNote> notes;
    KeyMapLoadOptions options;
    options.notes = &notes;
    const KeyMapLoadResult result = loadKeyMaps(text, maps, outputs, options);
    if (result.error && result.error->offset > size) {
        std::abort();
    }
    if (size > 4096) {
        return 0;
    }
    std::vector<KeyMap> literalMaps;
    std::array<USBOutput, 8> literalOutputs;
    const auto failure = literal::loadKeyMaps(text, literalMaps, literalOutputs);
    if (result.ok() != !failure || !same(maps, literalMaps) || !same(outputs, literalOutputs)) {
        std::abort();
    }
    if (failure &&
        (failure->kind != result.error->kind || failure->offset != result.error->offset)) {
        std::abort();
    }
    return 0;
}

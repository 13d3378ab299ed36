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
#include "keymap/KeyMapLoader.h"

namespace {

using namespace zintor;

bool Same(const KeyCommand& a, const KeyCommand& b) {
    return a.Type == b.Type && a.Text == b.Text && a.Value == b.Value && a.Code == b.Code;
}

bool Same(const std::vector<KeyMap>& a, const std::vector<KeyMap>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t m = 0; m < a.size(); ++m) {
        if (a[m].Name != b[m].Name) {
            return false;
        }
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& x = a[m].Keys[k];
            const KeyEntry& y = b[m].Keys[k];
            if (x.Name != y.Name || x.Help != y.Help || x.Commands.size() != y.Commands.size()) {
                return false;
            }
            for (std::size_t c = 0; c < x.Commands.size(); ++c) {
                if (!Same(x.Commands[c], y.Commands[c])) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool Same(const std::array<USBOutput, 8>& a, const std::array<USBOutput, 8>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].NameOn != b[i].NameOn || a[i].NameOff != b[i].NameOff) {
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
    const KeyMapLoadResult result = LoadKeyMaps(text, maps, outputs, options);
    if (result.error && result.error->offset > size) {
        std::abort();
    }
    if (size > 4096) {
        return 0;
    }
    std::vector<KeyMap> literalMaps;
    std::array<USBOutput, 8> literalOutputs;
    const auto failure = literal::LoadKeyMaps(text, literalMaps, literalOutputs, nullptr);
    if (result.ok() != !failure || !Same(maps, literalMaps) || !Same(outputs, literalOutputs)) {
        std::abort();
    }
    if (failure &&
        (failure->kind != result.error->kind || failure->offset != result.error->offset)) {
        std::abort();
    }
    return 0;
}

// The key maps shipped in data/KeyMap.xml.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "LiteralKeyMapLoader.h"
#include "LoaderTestSupport.h"
#include "keymap/KeyMapNames.h"

namespace zintor {
namespace {

TEST(DefaultKeyMap, LoadsCleanlyLikeTheLiteralReaderAndBindsEveryKeyAPhoneReports) {
    std::ostringstream text;
    text << std::ifstream(ZINTOR_DEFAULT_KEYMAP, std::ios::binary).rdbuf();
    const testing::Loaded loaded = testing::load(text.str());
    ASSERT_TRUE(loaded.result.ok()) << formatLoadError("KeyMap.xml", *loaded.result.error);
    ASSERT_EQ(loaded.maps.size(), 3u);
    EXPECT_EQ(loaded.maps[0].name, "Desktop");
    EXPECT_EQ(loaded.maps[1].name, "Presentation");
    EXPECT_EQ(loaded.maps[2].name, "Media");
    for (const KeyMapNote& note : loaded.notes) {
        ADD_FAILURE() << note.at.line << ":" << note.at.column << ": " << note.text;
    }
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    EXPECT_FALSE(literal::loadKeyMaps(text.str(), maps, outputs, nullptr));
    EXPECT_EQ(testing::everything(maps, outputs), testing::everything(loaded.maps, loaded.outputs));

    for (const KeyMap& map : loaded.maps) {
        EXPECT_LE(map.name.size(), 15u) << map.name;  // fits the phone's screen
        for (int k = 0; k < kKeysPerMap; ++k) {
            // Keys with an element, except KEY_CLEAR which no phone reports.
            const bool bindable = !keyElementName(k).empty() && k != 12;
            EXPECT_EQ(!map.keys[k].commands.empty(), bindable) << map.name << " key " << k;
            EXPECT_EQ(!map.keys[k].help.empty(), bindable) << map.name << " key " << k;
        }
    }
    for (const USBOutput& out : loaded.outputs) {
        EXPECT_FALSE(out.nameOn.empty() || out.nameOff.empty());
        EXPECT_NE(out.nameOn, out.nameOff);
        EXPECT_LE(out.nameOn.size(), 15u);
        EXPECT_EQ((out.nameOn + out.nameOff).find('"'), std::string::npos);  // quoted on the phone
    }
}

}  // namespace
}  // namespace zintor

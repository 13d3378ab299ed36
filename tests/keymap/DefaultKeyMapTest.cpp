// The key maps shipped in data/KeyMap.xml.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "KeyMapCompare.h"
#include "LiteralKeyMapLoader.h"
#include "LoaderTestSupport.h"
#include "keymap/KeyMapNames.h"

namespace zintor {
namespace {

using testing::Load;
using testing::Loaded;

std::string ReadDefault() {
    std::ifstream in(ZINTOR_DEFAULT_KEYMAP, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class DefaultKeyMap : public ::testing::Test {
  protected:
    void SetUp() override {
        text = ReadDefault();
        ASSERT_FALSE(text.empty()) << ZINTOR_DEFAULT_KEYMAP;
        loaded = Load(text);
        ASSERT_TRUE(loaded.result.ok()) << FormatLoadError("KeyMap.xml", *loaded.result.error);
    }

    // Every (type, code) bound in the key map named `name`.
    std::set<std::pair<int, int>> Bound(const std::string& name) const {
        std::set<std::pair<int, int>> bound;
        for (const KeyMap& map : loaded.maps) {
            if (map.Name != name) {
                continue;
            }
            for (const KeyEntry& key : map.Keys) {
                for (const KeyCommand& c : key.Commands) {
                    bound.insert({c.Type, c.Type == CommandKey ? c.Text[0] : c.Code});
                }
            }
        }
        return bound;
    }

    std::string text;
    Loaded loaded;
};

TEST_F(DefaultKeyMap, LoadsThreeKeyMapsWithoutAnyDoubtfulEntry) {
    ASSERT_EQ(loaded.maps.size(), 3u);
    EXPECT_EQ(loaded.maps[0].Name, "Desktop");
    EXPECT_EQ(loaded.maps[1].Name, "Presentation");
    EXPECT_EQ(loaded.maps[2].Name, "Media");
    for (const KeyMapNote& note : loaded.notes) {
        ADD_FAILURE() << note.at.line << ":" << note.at.column << ": " << note.text;
    }
}

TEST_F(DefaultKeyMap, BindsEveryKeyAPhoneReportsEachWithAHelpText) {
    for (const KeyMap& map : loaded.maps) {
        for (int k = 0; k < kKeysPerMap; ++k) {
            const KeyEntry& key = map.Keys[k];
            // Keys with an element, except KEY_CLEAR which no phone reports.
            const bool bindable = !KeyElementName(k).empty() && k != 12;
            EXPECT_EQ(!key.Commands.empty(), bindable) << map.Name << " key " << k;
            EXPECT_EQ(!key.Help.empty(), bindable) << map.Name << " key " << k;
        }
    }
}

TEST_F(DefaultKeyMap, BindsWhatEachKeyMapIsFor) {
    const auto desktop = Bound("Desktop");
    for (const char* name :
         {"UP", "DOWN", "LEFT", "RIGHT", "RETURN", "ESCAPE", "TAB", "BACKSPACE"}) {
        EXPECT_TRUE(desktop.count({CommandSpecialKey, SpecialKeyCode(name)})) << name;
    }
    for (const char* name : {"LEFT", "RIGHT", "LEFT HOLD"}) {
        EXPECT_TRUE(desktop.count({CommandMouse, MouseCommandCode(name)})) << name;
    }
    EXPECT_TRUE(desktop.count({CommandInput, 0}));

    const auto show = Bound("Presentation");
    for (const char* name : {"NEXT", "PRIOR", "F5", "ESCAPE", "HOME", "END"}) {
        EXPECT_TRUE(show.count({CommandSpecialKey, SpecialKeyCode(name)})) << name;
    }
    EXPECT_TRUE(show.count({CommandKey, 'b'}));

    const auto media = Bound("Media");
    for (const char* name :
         {"PLAY", "PAUSE", "STOP", "NEXT TRACK", "PREV TRACK", "VOLUME UP", "VOLUME DOWN"}) {
        EXPECT_TRUE(media.count({CommandWinamp, WinampCommandCode(name)})) << name;
    }
    EXPECT_TRUE(media.count({CommandVolume, VolumeCommandCode("MASTER UP")}));
    EXPECT_TRUE(media.count({CommandVolume, VolumeCommandCode("MASTER DOWN")}));
}

TEST_F(DefaultKeyMap, NamesFitThePhoneScreenAndItsQuotedCommands) {
    for (const KeyMap& map : loaded.maps) {
        EXPECT_LE(map.Name.size(), 15u) << map.Name;
    }
    for (const USBOutput& out : loaded.outputs) {
        EXPECT_FALSE(out.NameOn.empty());
        EXPECT_FALSE(out.NameOff.empty());
        EXPECT_NE(out.NameOn, out.NameOff);
        EXPECT_LE(out.NameOn.size(), 15u);
        EXPECT_EQ(out.NameOn.find('"'), std::string::npos);
        EXPECT_EQ(out.NameOff.find('"'), std::string::npos);
    }
}

TEST_F(DefaultKeyMap, LoadsTheSameAsTheLiteralFrontConsumingReader) {
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    EXPECT_FALSE(literal::LoadKeyMaps(text, maps, outputs, nullptr));
    EXPECT_TRUE(testing::SameKeyMaps(maps, loaded.maps));
    EXPECT_TRUE(testing::SameOutputs(outputs, loaded.outputs));
}

}  // namespace
}  // namespace zintor

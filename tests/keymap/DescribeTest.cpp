// The readable listing printed by zintor-keymap-check.

#include <gtest/gtest.h>

#include "LoaderTestSupport.h"
#include "keymap/KeyMapDescribe.h"

namespace zintor {
namespace {

TEST(describeKeyMaps, ListsKeysWithTheirHelpAndCommandsByName) {
    const testing::Loaded l = testing::Load(
        "<KEYMAP><KEYMAP_NAME>Office</KEYMAP_NAME>"
        "<KEY_1><HELP>Save file</HELP>"
        "<COMMAND_ID><COMMAND_TYPE>KEY DOWN</COMMAND_TYPE><COMMAND>CONTROL</COMMAND>"
        "<COMMAND_ID><COMMAND>s</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>250</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND>F13</COMMAND>"
        "<KEY_CAMERA><NAME>cam</NAME>"
        "<KEY_LEFT_SOFTKEY><COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE>"
        "<COMMAND>LEFT HOLD</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>INPUT</COMMAND_TYPE>"
        "<COMMAND_ID><COMMAND_TYPE>WINAMP</COMMAND_TYPE><COMMAND>NEXT TRACK</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER DOWN</COMMAND>"
        "<KEYMAP>"
        "<USB_DIGITAL_OUT_2><NAME_ON>Lamp on</NAME_ON><NAME_OFF>Lamp\noff</NAME_OFF>");
    ASSERT_TRUE(l.result.ok());
    EXPECT_EQ(describeKeyMaps(l.maps, l.outputs),
              "Key map 1: \"Office\"\n"
              "  Key 1 (KEY_1): \"Save file\"\n"
              "    1. KEY DOWN CONTROL\n"
              "    2. KEY \"s\"\n"
              "    3. WAIT 250 ms\n"
              "    4. SPECIAL KEY (unknown name: no key)\n"
              "  Camera (KEY_CAMERA): \"\", name \"cam\", no commands\n"
              "  Left soft key (KEY_LEFT_SOFTKEY): \"\"\n"
              "    1. MOUSE LEFT HOLD\n"
              "    2. INPUT (text typed from the phone)\n"
              "    3. WINAMP NEXT TRACK\n"
              "    4. VOLUME MASTER DOWN\n"
              "Key map 2: \"\"\n"
              "USB output 2: on \"Lamp on\", off \"Lamp off\"\n");
}

}  // namespace
}  // namespace zintor

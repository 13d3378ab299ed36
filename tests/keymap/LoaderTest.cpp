// Loading key maps from small texts: the worked example and the reader's quirks.

#include <gtest/gtest.h>

#include "LoaderTestSupport.h"

namespace zintor {
namespace {

using testing::Commands;
using testing::Load;
using testing::Loaded;

TEST(LoadKeyMaps, WorkedExampleGivesOneKeyMapWithCtrlSOnKey1AndALampOutput) {
    const Loaded l = Load(R"(<Zintor_KeyMap>
  <!-- Key 1 saves the file -->
  <KEYMAP>
    <KEYMAP_NAME>Office</KEYMAP_NAME>
    <KEY_1>
      <HELP>Save file</HELP>
      <COMMAND_ID>1</COMMAND_ID>
        <COMMAND_TYPE>KEY DOWN</COMMAND_TYPE>
        <COMMAND>CONTROL</COMMAND>
      <COMMAND_ID>2</COMMAND_ID>
        <COMMAND_TYPE>KEY</COMMAND_TYPE>
        <COMMAND>s</COMMAND>
      <COMMAND_ID>3</COMMAND_ID>
        <COMMAND_TYPE>KEY UP</COMMAND_TYPE>
        <COMMAND>CONTROL</COMMAND>
    </KEY_1>
  </KEYMAP>
  <Zintor_USB>
    <USB_DIGITAL_OUT_1>
      <NAME_ON>Lamp on</NAME_ON>
      <NAME_OFF>Lamp off</NAME_OFF>
    </USB_DIGITAL_OUT_1>
  </Zintor_USB>
</Zintor_KeyMap>
)");
    ASSERT_TRUE(l.result.ok()) << l.result.error->text;
    ASSERT_EQ(l.maps.size(), 1u);
    EXPECT_EQ(l.maps[0].Name, "Office");
    EXPECT_EQ(l.maps[0].Keys[1].Help, "Save file");
    const auto& c = Commands(l, 0, 1);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].Type, CommandKeyDown);
    EXPECT_EQ(c[0].Code, 17);
    EXPECT_EQ(c[1].Type, CommandKey);
    EXPECT_EQ(c[1].Text, "s");
    EXPECT_EQ(c[2].Type, CommandKeyUp);
    EXPECT_EQ(c[2].Code, 17);
    for (int key = 0; key < kKeysPerMap; ++key) {
        EXPECT_EQ(Commands(l, 0, key).empty(), key != 1) << key;
    }
    EXPECT_EQ(l.outputs[0].NameOn, "Lamp on");
    EXPECT_EQ(l.outputs[0].NameOff, "Lamp off");
    EXPECT_FALSE(l.outputs[0].State);
    EXPECT_EQ(l.outputs[1].NameOn, "");
    EXPECT_TRUE(l.notes.empty());
}

TEST(LoadKeyMaps, EmptyOrCommentOnlyTextsGiveNoKeyMapsAndNoNames) {
    for (const char* text : {"", "  \r\n\t ", "<!-- <KEYMAP><KEYMAP_NAME>x</KEYMAP_NAME> -->",
                             "<Zintor_KeyMap><!-- unclosed <KEYMAP>", "ab"}) {
        const Loaded l = Load(text);
        EXPECT_TRUE(l.result.ok()) << text;
        EXPECT_TRUE(l.maps.empty()) << text;
        EXPECT_FALSE(KeyMapsLoaded(l.maps));
        EXPECT_EQ(l.outputs[0].NameOn, "");
    }
}

TEST(LoadKeyMaps, TagsThatAreNotExactlyAnElementNameAreSkipped) {
    const Loaded l = Load(
        "<?xml version=\"1.0\"?><KEYMAP><KEYMAP_NAME>A</KEYMAP_NAME>"
        "<KEY_1><HELP>one</HELP>"
        "<KEYMAP id=\"2\"><KEYMAP_NAME>B</KEYMAP_NAME>"  // still key map 0
        "<KEY_2 ><HELP>still one</HELP>"                 // still key 1
        "<keymap><key_3><Help>x</Help>"                  // all skipped; the value is text
        "<KEY_4/><HELP>four?</HELP>");
    ASSERT_TRUE(l.result.ok());
    ASSERT_EQ(l.maps.size(), 1u);
    EXPECT_EQ(l.maps[0].Name, "B");
    EXPECT_EQ(l.maps[0].Keys[1].Help, "four?");
    EXPECT_EQ(l.maps[0].Keys[2].Help, "");
    EXPECT_EQ(l.maps[0].Keys[4].Help, "");
    // The checker's notes point at the near misses, not at end tags or the declaration.
    ASSERT_EQ(l.notes.size(), 6u);  // KEYMAP id, "KEY_2 ", keymap, key_3, Help, KEY_4/
    EXPECT_NE(l.notes[0].text.find("<KEYMAP id=\"2\"> is skipped, not read as KEYMAP"),
              std::string::npos);
    EXPECT_NE(l.notes[1].text.find("not read as KEY_2"), std::string::npos);
}

TEST(LoadKeyMaps, ValuesAreKeptExactlyAsWritten) {
    const Loaded l = Load(
        "<KEYMAP><KEYMAP_NAME> Office \r\n</KEYMAP_NAME><KEY_1><NAME>&amp;</NAME>"
        "<HELP>a<b</HELP><COMMAND_ID><COMMAND>x < y</COMMAND>");
    ASSERT_TRUE(l.result.ok());
    EXPECT_EQ(l.maps[0].Name, " Office \r\n");
    EXPECT_EQ(l.maps[0].Keys[1].Name, "&amp;");
    EXPECT_EQ(l.maps[0].Keys[1].Help, "a<b");
    EXPECT_EQ(Commands(l, 0, 1)[0].Text, "x < y");
}

TEST(LoadKeyMaps, CommandIsReadByTheTypeInForceAndUnknownNamesGiveCodeZero) {
    const Loaded l = Load(
        "<KEYMAP><KEY_1>"
        "<COMMAND_ID><COMMAND_TYPE>key</COMMAND_TYPE><COMMAND>typed</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND> F5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE><COMMAND>F5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>KEY DOWN</COMMAND_TYPE><COMMAND>ctrl</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE><COMMAND>LEFT HOLD </COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE><COMMAND>LEFT HOLD</COMMAND>"
        "<COMMAND_ID><COMMAND>500</COMMAND><COMMAND_TYPE>WAIT</COMMAND_TYPE>"
        "<COMMAND_ID><COMMAND_TYPE>WINAMP</COMMAND_TYPE><COMMAND>NEXT TRACK</COMMAND>"
        "<COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER DOWN</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>INPUT</COMMAND_TYPE><COMMAND>ignored</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>CD UP</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WINAMP</COMMAND_TYPE><COMMAND>play</COMMAND>");
    ASSERT_TRUE(l.result.ok());
    const auto& c = Commands(l, 0, 1);
    ASSERT_EQ(c.size(), 11u);
    EXPECT_EQ(c[0].Type, CommandKey);  // "key" is not "KEY": the type stays as it was
    EXPECT_EQ(c[0].Text, "typed");
    EXPECT_EQ(c[1].Type, CommandSpecialKey);
    EXPECT_EQ(c[1].Code, 0);
    EXPECT_EQ(c[2].Code, 116);
    EXPECT_EQ(c[3].Code, 0);
    EXPECT_EQ(c[4].Code, 0);  // "LEFT HOLD " is not "LEFT HOLD": LEFT
    EXPECT_EQ(c[5].Code, 2);
    // COMMAND before COMMAND_TYPE: read as KEY text, then the type changes to WAIT of 0 ms.
    EXPECT_EQ(c[6].Type, CommandWait);
    EXPECT_EQ(c[6].Value, 0);
    EXPECT_EQ(c[6].Text, "500");
    // A later COMMAND_TYPE and COMMAND overwrite; the earlier code stays until then.
    EXPECT_EQ(c[7].Type, CommandVolume);
    EXPECT_EQ(c[7].Code, 1);
    EXPECT_EQ(c[8].Type, CommandInput);
    EXPECT_EQ(c[8].Text, "ignored");
    EXPECT_EQ(c[9].Code, 8);
    EXPECT_EQ(c[10].Code, 0);

    std::vector<std::string> notes;
    for (const auto& n : l.notes) {
        notes.push_back(n.text);
    }
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "COMMAND_TYPE \"key\" is not a type name (KEY, WAIT, SPECIAL KEY, KEY "
                         "DOWN, KEY UP, MOUSE, INPUT, WINAMP, VOLUME); the command stays KEY",
                         "SPECIAL KEY name \" F5\" is not in the table; it gives code 0 (no key)",
                         "KEY DOWN name \"ctrl\" is not in the table; it gives code 0 (no key)",
                         "MOUSE name \"LEFT HOLD \" is not in the table; it gives code 0 (LEFT)",
                         "VOLUME \"CD UP\" is known but does nothing: only MASTER UP and MASTER "
                         "DOWN act",
                         "WINAMP name \"play\" is not in the table; it gives code 0 (VOLUME UP)"}));
}

TEST(LoadKeyMaps, WaitTimesAreLeadingNumbersRoundedHalfToEven) {
    const Loaded l = Load(
        "<KEYMAP><KEY_0>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>1.5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>2.5</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND> 1 500 ms</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>&H10</COMMAND>"
        "<COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>soon</COMMAND>");
    ASSERT_TRUE(l.result.ok());
    std::vector<int> values;
    for (const auto& c : Commands(l, 0, 0)) {
        values.push_back(c.Value);
    }
    EXPECT_EQ(values, (std::vector<int>{2, 2, 1500, 16, 0}));
}

TEST(LoadKeyMaps, AKeyElementSelectsTheKeyAndRestartsAtItsFirstCommand) {
    const Loaded l = Load(
        "<KEYMAP>"
        "<KEY_1><COMMAND_ID><COMMAND>a</COMMAND></KEY_1>"
        "<KEY_2><COMMAND_ID><COMMAND>b</COMMAND><COMMAND_ID><COMMAND>c</COMMAND>"
        "<KEY_3><COMMAND_ID><COMMAND>d</COMMAND>"
        "<KEY_1><COMMAND_ID><COMMAND>e</COMMAND>"     // a second KEY_1 appends
        "<KEY_2><COMMAND_TYPE>WAIT</COMMAND_TYPE>");  // command 0 of key 2
    ASSERT_TRUE(l.result.ok());
    ASSERT_EQ(Commands(l, 0, 1).size(), 2u);
    EXPECT_EQ(Commands(l, 0, 1)[0].Text, "a");
    EXPECT_EQ(Commands(l, 0, 1)[1].Text, "e");
    EXPECT_EQ(Commands(l, 0, 2)[0].Type, CommandWait);
    EXPECT_EQ(Commands(l, 0, 2)[1].Type, CommandKey);
    EXPECT_EQ(Commands(l, 0, 3).size(), 1u);
}

TEST(LoadKeyMaps, KeyAndCommandCursorsCarryOverIntoTheNextKeyMap) {
    const Loaded l = Load(
        "<KEY_5>"  // before any KEYMAP: only selects the key
        "<KEYMAP><HELP>five</HELP><KEYMAP_NAME>A</KEYMAP_NAME><KEYMAP_NAME>A2</KEYMAP_NAME>"
        "<KEY_VOLUME_UP><HELP>up</HELP>"
        "<KEYMAP><HELP>up in B</HELP><KEY_LEFT_SOFTKEY><HELP>soft</HELP>"
        "<KEY_CAMERA><NAME>cam</NAME><KEY_WAP><HELP>wap</HELP><KEY_CLEAR><HELP>clr</HELP>"
        "<KEY_VOLUME_DOWN><HELP>down</HELP>");
    ASSERT_TRUE(l.result.ok());
    ASSERT_EQ(l.maps.size(), 2u);
    EXPECT_EQ(l.maps[0].Name, "A2");  // the second name wins
    EXPECT_EQ(l.maps[0].Keys[5].Help, "five");
    EXPECT_EQ(l.maps[0].Keys[10].Help, "up");
    EXPECT_EQ(l.maps[1].Name, "");
    EXPECT_EQ(l.maps[1].Keys[10].Help, "up in B");
    EXPECT_EQ(l.maps[1].Keys[22].Help, "soft");
    EXPECT_EQ(l.maps[1].Keys[16].Name, "cam");
    EXPECT_EQ(l.maps[1].Keys[15].Help, "wap");
    EXPECT_EQ(l.maps[1].Keys[12].Help, "clr");
    EXPECT_EQ(l.maps[1].Keys[11].Help, "down");
}

TEST(LoadKeyMaps, UsbNamesGoToTheOutputSelectedLastStartingWithOutputOne) {
    const Loaded l = Load(
        "<NAME_ON>first on</NAME_ON>"
        "<USB_DIGITAL_OUT_8><NAME_OFF>eight off</NAME_OFF>"
        "<USB_DIGITAL_OUT_9><NAME_ON>eight on</NAME_ON>"  // no such element: still output 8
        "<USB_DIGITAL_OUT_3><NAME_ON>three</NAME_ON><NAME_ON>three again</NAME_ON>");
    ASSERT_TRUE(l.result.ok());
    EXPECT_TRUE(l.maps.empty());
    EXPECT_EQ(l.outputs[0].NameOn, "first on");
    EXPECT_EQ(l.outputs[7].NameOff, "eight off");
    EXPECT_EQ(l.outputs[7].NameOn, "eight on");
    EXPECT_EQ(l.outputs[2].NameOn, "three again");
}

TEST(LoadKeyMaps, ATextShorterThanThreeCharactersAfterTheLastTagIsNotRead) {
    EXPECT_TRUE(Load("<KEYMAP><A").result.ok());
    EXPECT_TRUE(Load("<KEYMAP><X></").result.ok());
    EXPECT_FALSE(Load("<KEYMAP><AB").result.ok());
    // A value whose "</" has no ">": the text after the value's start is read again as tags.
    const Loaded l = Load("<KEYMAP><HELP>a<KEY_2></");
    ASSERT_TRUE(l.result.ok());
    EXPECT_EQ(l.maps[0].Keys[0].Help, "a<KEY_2>");
}

TEST(LoadKeyMaps, AppendsToKeyMapsAlreadyThere) {
    std::vector<KeyMap> maps(1);
    maps[0].Name = "earlier";
    std::array<USBOutput, 8> outputs;
    ASSERT_TRUE(LoadKeyMaps("<KEYMAP><KEYMAP_NAME>new</KEYMAP_NAME>", maps, outputs).ok());
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0].Name, "earlier");
    EXPECT_EQ(maps[1].Name, "new");
}

// Runs `onPump` for every turn of the loop the loader asks for.
class PumpRecorder : public EventLoop {
  public:
    std::function<void()> onPump;
    std::int64_t now() const override { return 0; }
    void pumpOnce() override { onPump(); }
    void waitFor(const std::function<bool()>&) override {}
    void waitUntil(std::int64_t) override {}
    TimerId startTimer(int, std::function<void()>) override { return 0; }
    void stopTimer(TimerId) override {}
    void post(std::function<void()>) override {}
};

TEST(LoadKeyMaps, PendingEventsRunBetweenTagsAndBetweenRemovedComments) {
    std::vector<KeyMap> maps;
    std::array<USBOutput, 8> outputs;
    std::vector<std::size_t> seen;  // key maps loaded at each turn of the loop
    PumpRecorder loop;
    loop.onPump = [&] { seen.push_back(maps.size()); };
    KeyMapLoadOptions every;
    every.loop = &loop;
    every.pumpEvery = 1;
    ASSERT_TRUE(LoadKeyMaps("<!--a--><KEYMAP><!--b--><KEYMAP>", maps, outputs, every).ok());
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 0, 1, 2}));

    // By default every 1024 tags: a 3000-tag text lets events run twice, each time with the
    // key maps read so far in place.
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += "<KEYMAP><KEY_1></KEY_1>";
    }
    maps.clear();
    seen.clear();
    KeyMapLoadOptions byDefault;
    byDefault.loop = &loop;
    ASSERT_TRUE(LoadKeyMaps(text, maps, outputs, byDefault).ok());
    EXPECT_EQ(seen, (std::vector<std::size_t>{342, 683}));
}

TEST(KeyHasCommands, IsFalseForEveryIndexOutOfRange) {
    const Loaded l = Load("<KEYMAP><KEY_3><COMMAND_ID><KEYMAP>");
    EXPECT_TRUE(KeyMapsLoaded(l.maps));
    EXPECT_TRUE(KeyHasCommands(l.maps, 0, 3));
    EXPECT_FALSE(KeyHasCommands(l.maps, 0, 2));
    EXPECT_FALSE(KeyHasCommands(l.maps, 1, 3));
    EXPECT_FALSE(KeyHasCommands(l.maps, 2, 3));
    EXPECT_FALSE(KeyHasCommands(l.maps, -1, 3));
    EXPECT_FALSE(KeyHasCommands(l.maps, 0, -1));
    EXPECT_FALSE(KeyHasCommands(l.maps, 0, 26));
    EXPECT_FALSE(KeyHasCommands({}, 0, 0));
}

}  // namespace
}  // namespace zintor

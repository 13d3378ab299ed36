// Thousands of random and mutated texts (fixed seed): the loader never crashes, hangs or reads
// out of bounds (ASan and UBSan in the sanitizer build), and gives exactly what the literal
// front-consuming reader gives: the same key maps, USB names, and error kind and position.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>

#include "KeyMapCompare.h"
#include "LiteralKeyMapLoader.h"
#include "keymap/CommentStripper.h"
#include "keymap/KeyMapLoader.h"

namespace zintor {
namespace {

constexpr std::array<std::string_view, 52> kPieces{"<KEYMAP>",
                                                   "<KEYMAP_NAME>",
                                                   "<KEY_1>",
                                                   "<KEY_2>",
                                                   "<KEY_LEFT_SOFTKEY>",
                                                   "<HELP>",
                                                   "<NAME>",
                                                   "<COMMAND_ID>",
                                                   "</COMMAND_ID>",
                                                   "<COMMAND_TYPE>",
                                                   "<COMMAND>",
                                                   "<USB_DIGITAL_OUT_3>",
                                                   "<NAME_ON>",
                                                   "<NAME_OFF>",
                                                   "</HELP>",
                                                   "</COMMAND>",
                                                   "</",
                                                   "<",
                                                   ">",
                                                   "/",
                                                   "<!--",
                                                   "-->",
                                                   "<!-",
                                                   "--",
                                                   "-",
                                                   "!",
                                                   "KEY",
                                                   "WAIT",
                                                   "SPECIAL KEY",
                                                   "MOUSE",
                                                   "WINAMP",
                                                   "VOLUME",
                                                   "INPUT",
                                                   "KEY DOWN",
                                                   "F5",
                                                   "LEFT HOLD",
                                                   "MASTER UP",
                                                   "PLAY",
                                                   "1.5",
                                                   "2.5",
                                                   "&H10",
                                                   "1E3",
                                                   " ",
                                                   "\n",
                                                   "\r\n",
                                                   "x",
                                                   "a<b",
                                                   std::string_view("\0", 1),
                                                   "99999999999",
                                                   "<KEYMAP id=1>",
                                                   "<?xml?>",
                                                   "\xff"};

class CountingLoop : public EventLoop {
  public:
    int pumps = 0;
    std::int64_t now() const override { return 0; }
    void pumpOnce() override { ++pumps; }
    void waitFor(const std::function<bool()>&) override {}
    void waitUntil(std::int64_t) override {}
    TimerId startTimer(int, std::function<void()>) override { return 0; }
    void stopTimer(TimerId) override {}
    void post(std::function<void()>) override {}
};

class Fuzz : public ::testing::Test {
  protected:
    std::string RandomText(std::size_t maxPieces) {
        std::string text;
        const std::size_t pieces = Below(maxPieces + 1);
        for (std::size_t i = 0; i < pieces; ++i) {
            if (Below(8) == 0) {
                text += static_cast<char>(Below(256));
            } else {
                text += kPieces[Below(kPieces.size())];
            }
        }
        return text;
    }

    std::string Mutated(std::string text) {
        const std::size_t edits = 1 + Below(4);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = Below(text.size() + 1);
            switch (Below(5)) {
                case 0:  // overwrite a byte
                    if (at < text.size()) {
                        text[at] = static_cast<char>(Below(256));
                    }
                    break;
                case 1:  // delete a stretch
                    text.erase(at, Below(40));
                    break;
                case 2:  // duplicate a stretch
                    text.insert(at, text.substr(Below(text.size() + 1), Below(200)));
                    break;
                case 3:  // insert a piece
                    text.insert(at, kPieces[Below(kPieces.size())]);
                    break;
                default:  // cut the end off
                    text.resize(at);
                    break;
            }
        }
        return text;
    }

    // Loads `text` with both readers and compares everything.
    void Compare(const std::string& text) {
        std::vector<KeyMap> maps, literalMaps;
        std::array<USBOutput, 8> outputs, literalOutputs;
        std::vector<KeyMapNote> notes;
        CountingLoop loop;
        KeyMapLoadOptions options;
        options.loop = &loop;
        options.pumpEvery = 1 + static_cast<int>(Below(4));
        options.notes = &notes;
        const KeyMapLoadResult result = LoadKeyMaps(text, maps, outputs, options);
        const auto failure = literal::LoadKeyMaps(text, literalMaps, literalOutputs, nullptr);

        SCOPED_TRACE(::testing::PrintToString(text));
        ASSERT_EQ(result.ok(), !failure);
        if (failure) {
            EXPECT_EQ(result.error->kind, failure->kind);
            EXPECT_EQ(result.error->offset, failure->offset);
            EXPECT_LE(result.error->offset, text.size());
        }
        EXPECT_TRUE(testing::SameKeyMaps(maps, literalMaps));
        EXPECT_TRUE(testing::SameOutputs(outputs, literalOutputs));
        for (const KeyMapNote& note : notes) {
            EXPECT_LE(note.offset, text.size());
        }
        ++compared;
    }

    std::size_t Below(std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    }

    std::mt19937 random{20240305};
    int compared = 0;
};

TEST_F(Fuzz, RandomTextsLoadLikeTheLiteralReader) {
    for (int i = 0; i < 4000 && !HasFailure(); ++i) {
        Compare(RandomText(i < 2000 ? 12 : 80));
    }
    EXPECT_EQ(compared, 4000);
}

TEST_F(Fuzz, CommentsAreStrippedLikeTheLiteralReaderWithTheSamePositions) {
    constexpr std::array<std::string_view, 6> pieces{"<!--", "-->", "<", "!", "-", ">"};
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        std::string text;
        for (std::size_t n = Below(30); n > 0; --n) {
            text += Below(5) == 0 ? std::string(1, 'a' + static_cast<char>(Below(3)))
                                  : std::string(pieces[Below(pieces.size())]);
        }
        literal::Text expected{text, {}};
        for (std::size_t k = 0; k < text.size(); ++k) {
            expected.origin.push_back(k);
        }
        literal::StripComments(expected, nullptr);
        const StrippedText stripped(text);
        ASSERT_EQ(stripped.text(), expected.chars) << text;
        for (std::size_t k = 0; k < expected.origin.size(); ++k) {
            ASSERT_EQ(stripped.originalOffset(k), expected.origin[k]) << text << " at " << k;
        }
    }
}

TEST_F(Fuzz, MutatedKeyMapsLoadLikeTheLiteralReader) {
    const std::string sample =
        "<Zintor_KeyMap><!-- sample -->\n<KEYMAP>\n<KEYMAP_NAME>Office</KEYMAP_NAME>\n"
        "<KEY_1><HELP>Save</HELP>\n"
        "<COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>KEY DOWN</COMMAND_TYPE>"
        "<COMMAND>CONTROL</COMMAND>\n"
        "<COMMAND_ID>2</COMMAND_ID><COMMAND_TYPE>KEY</COMMAND_TYPE><COMMAND>s</COMMAND>\n"
        "<COMMAND_ID>3</COMMAND_ID><COMMAND_TYPE>WAIT</COMMAND_TYPE><COMMAND>2.5</COMMAND>\n"
        "</KEY_1><KEY_VOLUME_UP><HELP>Up</HELP><COMMAND_ID>1</COMMAND_ID>"
        "<COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER UP</COMMAND></KEY_VOLUME_UP>\n"
        "</KEYMAP><KEYMAP><KEY_5><COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE>"
        "<COMMAND>LEFT HOLD</COMMAND></KEYMAP>\n"
        "<Zintor_USB><USB_DIGITAL_OUT_2><NAME_ON>Lamp on</NAME_ON><NAME_OFF>Lamp off"
        "</NAME_OFF></USB_DIGITAL_OUT_2></Zintor_USB></Zintor_KeyMap>\n";
    for (int i = 0; i < 2000 && !HasFailure(); ++i) {
        Compare(Mutated(sample));
    }
}

TEST_F(Fuzz, MutatedDefaultKeyMapsNeverBreakTheLoader) {
    std::ifstream in(ZINTOR_DEFAULT_KEYMAP, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string original = buffer.str();
    ASSERT_FALSE(original.empty());
    for (int i = 0; i < 1500; ++i) {
        const std::string text = Mutated(original);
        std::vector<KeyMap> maps;
        std::array<USBOutput, 8> outputs;
        std::vector<KeyMapNote> notes;
        KeyMapLoadOptions options;
        options.notes = &notes;
        const KeyMapLoadResult result = LoadKeyMaps(text, maps, outputs, options);
        if (!result.ok()) {
            const KeyMapLoadError& e = *result.error;
            ASSERT_LE(e.offset, text.size());
            ASSERT_EQ(e.at.line, LineColumnAt(text, e.offset).line);
            ASSERT_GE(e.at.column, 1);
            ASSERT_FALSE(e.text.empty());
        }
        ASSERT_LE(maps.size(), 3u + 8u);  // duplicated stretches may add a few key maps
    }
}

}  // namespace
}  // namespace zintor

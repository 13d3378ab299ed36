// Thousands of random and mutated texts (fixed seed): the loader never crashes, hangs or reads
// out of bounds (ASan and UBSan in the sanitizer build), and gives exactly what the literal
// front-consuming reader gives: the same key maps, USB names, and error kind and position.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "LiteralKeyMapLoader.h"
#include "LoaderTestSupport.h"
#include "keymap/CommentStripper.h"

namespace zintor {
namespace {

// What random texts are made of, separated by "|" (random bytes come in between).
constexpr std::string_view kPieceList =
    "<KEYMAP>|<KEYMAP_NAME>|<KEY_1>|<KEY_2>|<KEY_LEFT_SOFTKEY>|<HELP>|<NAME>|<COMMAND_ID>|"
    "</COMMAND_ID>|<COMMAND_TYPE>|<COMMAND>|<USB_DIGITAL_OUT_3>|<NAME_ON>|<NAME_OFF>|</HELP>|"
    "</COMMAND>|</|<|>|/|<!--|-->|<!-|--|-|!|KEY|WAIT|SPECIAL KEY|MOUSE|WINAMP|VOLUME|INPUT|"
    "KEY DOWN|F5|LEFT HOLD|MASTER UP|PLAY|1.5|2.5|&H10|1E3| |\n|\r\n|x|a<b|99999999999|"
    "<KEYMAP id=1>|<?xml?>";

std::vector<std::string> Split(std::string_view list) {
    std::vector<std::string> out;
    for (std::size_t from = 0, bar; from <= list.size(); from = bar + 1) {
        bar = std::min(list.find('|', from), list.size());
        out.emplace_back(list.substr(from, bar - from));
    }
    return out;
}

class Fuzz : public ::testing::Test {
  protected:
    std::string RandomText(const std::vector<std::string>& pieces, std::size_t maxPieces) {
        std::string text;
        for (std::size_t n = Below(maxPieces + 1); n > 0; --n) {
            text += Below(8) == 0 ? std::string(1, static_cast<char>(Below(256)))
                                  : pieces[Below(pieces.size())];
        }
        return text;
    }

    // One to four edits: delete or duplicate a stretch, insert a piece or a byte, cut the end.
    std::string Mutated(std::string text) {
        for (std::size_t edits = 1 + Below(4); edits > 0; --edits) {
            const std::size_t at = Below(text.size() + 1);
            const std::size_t what = Below(4);
            if (what == 0) {
                text.erase(at, Below(40));
            } else if (what == 1) {
                text.insert(at, text.substr(Below(text.size() + 1), Below(200)));
            } else if (what == 2) {
                text.insert(at, RandomText(pieces, 1));
            } else {
                text.resize(at);
            }
        }
        return text;
    }

    // Loads `text` with both readers and compares everything.
    void Compare(const std::string& text) {
        std::vector<KeyMap> maps, literalMaps;
        std::array<USBOutput, 8> outputs, literalOutputs;
        std::vector<KeyMapNote> notes;
        testing::PumpRecorder loop;
        const KeyMapLoadOptions options{&loop, 1 + static_cast<int>(Below(4)), &notes};
        const KeyMapLoadResult result = LoadKeyMaps(text, maps, outputs, options);
        const auto failure = literal::LoadKeyMaps(text, literalMaps, literalOutputs, nullptr);

        SCOPED_TRACE(::testing::PrintToString(text));
        ASSERT_EQ(result.ok(), !failure);
        if (failure) {
            EXPECT_EQ(result.error->kind, failure->kind);
            EXPECT_EQ(result.error->offset, failure->offset);
        }
        EXPECT_EQ(testing::Everything(maps, outputs),
                  testing::Everything(literalMaps, literalOutputs));
        for (const KeyMapNote& note : notes) {
            EXPECT_LE(note.offset, text.size());
        }
    }

    std::size_t Below(std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    }

    const std::vector<std::string> pieces = Split(kPieceList);
    std::mt19937 random{20240305};
};

TEST_F(Fuzz, RandomTextsLoadLikeTheLiteralReader) {
    for (int i = 0; i < 4000 && !HasFailure(); ++i) {
        Compare(RandomText(pieces, i < 2000 ? 12 : 80));
    }
}

TEST_F(Fuzz, CommentsAreStrippedLikeTheLiteralReaderWithTheSamePositions) {
    const std::vector<std::string> commentPieces = Split("<!--|-->|<|!|-|>|a|b");
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        const std::string text = RandomText(commentPieces, 30);
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

TEST_F(Fuzz, MutatedKeyMapsLoadLikeTheLiteralReaderAndNeverBreakTheLoader) {
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

    // The shipped file is too long to compare often with the slow literal reader: its
    // mutations only have to load sanely.
    std::ifstream in(ZINTOR_DEFAULT_KEYMAP, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    ASSERT_FALSE(buffer.str().empty());
    for (int i = 0; i < 1500; ++i) {
        const std::string text = Mutated(buffer.str());
        const testing::Loaded l = testing::Load(text);
        if (!l.result.ok()) {
            const KeyMapLoadError& e = *l.result.error;
            ASSERT_LE(e.offset, text.size());
            ASSERT_EQ(e.at.line, LineColumnAt(text, e.offset).line);
            ASSERT_GE(e.at.column, 1);
            ASSERT_FALSE(e.text.empty());
        }
        ASSERT_LE(l.maps.size(), 3u + 8u);  // duplicated stretches may add a few key maps
    }
}

}  // namespace
}  // namespace zintor

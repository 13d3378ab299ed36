// The text rules at the program's edges that no conversation shows whole: the guard every line to
// the phone passes, the character sets, and the diagnostic log's tags and file name.
#include <gtest/gtest.h>

#include "core/control/InputSynthesis.h"
#include "core/link/transport/Charsets.h"
#include "core/link/transport/PhoneText.h"
#include "core/link/transport/ReceiveBuffer.h"
#include "core/log/LogText.h"

namespace zintor {
namespace {

// What the desktop could not type, for the phone: printable ISO 8859-1 as it is, the rest named.
TEST(UntypedNotice, NamesEveryCharacterOutsidePrintableLatin1ByItsCodePoint) {
    EXPECT_EQ(untypedNotice(""), "");
    EXPECT_EQ(untypedNotice(" ~\x1F\x7F\u009F\u00A0\u00FF\u0100"),
              "Untyped:  ~U+001FU+007FU+009F\u00A0\u00FFU+0100");
}

TEST(PhoneLine, EveryLineIsOneCommandOfIsoLatin1WithBalancedQuotes) {
    const std::pair<std::string, std::string> cases[] = {
        {"AT", "AT\r\n"},  // the line end is added where it is missing, and never doubled
        {"AT\r\n\r\n", "AT\r\n"},
        {"AT*EAID=1,2,\"\xC3\xBF\xE2\x82\xAC\",80", "AT*EAID=1,2,\"\xFF?\",80\r\n"},
        {"AT*EASM=\"a\r\nATD5551234;\tb\x7F\xC2\x85\xC2\x9F\xC2\xA0\"",
         "AT*EASM=\"a  ATD5551234; b   \xA0\"\r\n"},
        {"AT*EASM=\"say \"hi\"\",1,\"x\"", "AT*EASM=\"say 'hi'\",1,\"x\"\r\n"},
        {"AT*EAID=1,2,\"open", "AT*EAID=1,2,\"open\"\r\n"},
        {"AT*EASM=\"a\",b\"c", "AT*EASM=\"a\",b'c\r\n"},  // a quote in an unquoted field is data
        {"AT*EAID=1,2,\"Ma\xEFs\"", "AT*EAID=1,2,\"Ma\xEFs\"\r\n"},  // not UTF-8: as it is
    };
    for (const auto& [line, bytes] : cases) {
        EXPECT_EQ(toPhoneLine(line), bytes) << line;
    }
    EXPECT_EQ(latin1ToUtf8("Caf\xE9\x80"), "Caf\xC3\xA9\xC2\x80");
    EXPECT_EQ(windows1252ToUtf8("\x80 Caf\xE9 \x81"), "\xE2\x82\xAC Caf\xC3\xA9 \xC2\x81");
    std::string widest;  // the first and last characters of three bytes, the first of four
    appendUtf8(widest, 0x800), appendUtf8(widest, 0xFFFF), appendUtf8(widest, 0x10000);
    EXPECT_EQ(widest, "\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
    EXPECT_TRUE(isValidUtf8("Caf\xC3\xA9 \xDF\xBF \xF0\x9F\x98\x80 \xE0\xA0\x80"));
    for (const char* broken :
         {"Caf\xE9", "\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_FALSE(isValidUtf8(broken)) << broken;
    }
}

TEST(LogText, TagsAndFileNames) {
    std::string text =
        "AT*EASM=\"Z\" AT*EAM=\"Z\" at+cscs AT+CMER *EAAI +CKEV: 5,1 *EAII: 0 "
        "*EAMI: 3 *EAMI AT*EAID AT+cscs at*eam";
    applyLogTags(text);
    EXPECT_EQ(text,
              ">AT=4<=\"Z\" >AT=1<=\"Z\" >CharSet< >AT=2< >AT=3< >AT=7< 5,1 >AT=8< 0 >AT=6< 3 "
              ">AT=9< >AT=5< AT+cscs at*eam");
    EXPECT_EQ(logFileNameForDate("3/5/2024"), "3-5-2024.txt");
}

// Lines cut from what the port delivers in pieces: a line as long as the bound kept whole, a CR at
// the end of one piece, a line grown past the bound (only its end stays, behind the marker), and
// the whole lines dropped at once.
TEST(ReceiveBuffer, CutsLinesAcrossPiecesAndDropsWhatIsTooLongOrNotWanted) {
    ReceiveBuffer buffer;
    const std::string longest(ReceiveBuffer::kMaxPendingLine, 'w');
    buffer.append(longest);
    buffer.append("\r\nA\r");
    EXPECT_EQ(buffer.takeLine(), longest);
    EXPECT_FALSE(buffer.hasLine());
    buffer.append("\n" + std::string(ReceiveBuffer::kMaxPendingLine + 1, 'x'));
    buffer.append("yz\r\n\r\nB");
    EXPECT_EQ(buffer.takeLine(), "A");
    EXPECT_EQ(buffer.takeLine(), "<dropped>yz");
    buffer.dropWholeLines();
    EXPECT_FALSE(buffer.hasLine());
    EXPECT_EQ(buffer.text(), "B");
    buffer.append(std::string(ReceiveBuffer::kMaxPendingLine, 'z') + "\r");  // its LF comes later
    buffer.append("\n");
    EXPECT_EQ(buffer.takeLine(), "<dropped>");
    for (int i = 0; i < 100'000; ++i) {  // a long stream of lines keeps it small
        buffer.append("+CKEV: 5,1\r\n");
        buffer.takeLine();
    }
    EXPECT_LT(buffer.held(), 8192u);
}

}  // namespace
}  // namespace zintor

#include "PhoneModel.h"

#include <gtest/gtest.h>

namespace zintor::web {
namespace {

constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";

TEST(PhoneModelTest, AnswersAsAPhoneRefusesMalformedCommandsAndReportsOnlyKeysOfTheTable) {
    PhoneModel phone;
    EXPECT_EQ(phone.answer("AT+cgmm"), std::string("\r\nZintor Virtual Phone\r\n") + kOk);
    EXPECT_EQ(phone.answer("AT+XYZ=1"), kError);
    ASSERT_EQ(phone.answer(R"(AT*EASM="M",1,1,2,"a","b")"), kOk);
    // Count or highlight not matching the items, an open quote, a bare item: refused, and what
    // the phone shows stays as it was.
    for (const char* bad :
         {R"(AT*EASM="X",1,1,3,"a","b")", R"(AT*EASM="X",1,3,2,"a","b")", R"(AT*EASM="X,1,1,1,"a")",
          R"(AT*EASM="X",1,1,1,a)", R"(AT*EAID=1,2,"t")", R"(AT*EAID=99,2,"t")", "AT*EAM"}) {
        EXPECT_EQ(phone.answer(bad), kError) << bad;
    }
    EXPECT_EQ(phone.screen().menu->title, "M");

    // Keys only while reporting is on.
    EXPECT_FALSE(phone.key("5", true));
    phone.answer("AT+CMER=3,2,0,0,0");
    EXPECT_EQ(phone.key("5", true), "+CKEV: 5,1");
    EXPECT_EQ(phone.key(":C", false), "+CKEV: :C,0");
    EXPECT_FALSE(phone.key("x", true) || phone.key("5,1\r\nATD1", true));
    phone.answer("AT+CMER=0,0,0,0,0");
    EXPECT_FALSE(phone.key("5", false));
}

TEST(PhoneModelTest, MenusDialogsAndTheEntryGiveTheLinesOfTheUsersChoices) {
    PhoneModel phone;
    EXPECT_FALSE(phone.openEntry());  // nothing registered yet
    phone.answer(R"(AT*EAM="Zintor")");
    EXPECT_EQ(phone.openEntry(), "*EAAI");
    phone.answer("AT*EASM=\"Caf\xe9\",1,2,3,\"Move Mouse\",\"About\",\"x\"");
    EXPECT_EQ(phone.screen().menu->title, "Caf\xc3\xa9");  // ISO 8859-1 in, UTF-8 on the screen
    EXPECT_EQ(phone.screen().menu->highlighted, 2);
    EXPECT_FALSE(phone.chooseItem(0) || phone.chooseItem(4));
    EXPECT_EQ(phone.chooseItem(3), "*EAMI: 3");
    EXPECT_FALSE(phone.screen().menu || phone.leaveMenu());
    phone.answer(R"(AT*EASM="M",1,1,1,"a")");
    EXPECT_EQ(phone.endSession(), "*EAMI");

    // Dialogs keep their kind, time out and answer.
    phone.answer(R"(AT*EAID=1,2,"No programs",30)");
    EXPECT_EQ(phone.screen().dialog.timeoutMs, 3000);
    EXPECT_FALSE(phone.enterText("x"));  // a pop-up takes no text
    EXPECT_EQ(phone.answerDialog(), "*EAII: 1,1");
    phone.answer(R"(AT*EAID=11,2,"Enter","->",5)");
    EXPECT_FALSE(phone.enterText("toolong"));
    EXPECT_EQ(phone.enterText("\xc3\xa9\xe2\x82\xac\n\"a"), "*EAII: 11,\xe9? \"a");
    phone.answer(R"(AT*EAID=14,2,"WinAMP","1. Song")");
    phone.answer(R"(AT+CKPD="c")");  // the clear key closes it
    EXPECT_FALSE(phone.closeDialog());
}

}  // namespace
}  // namespace zintor::web

#include <gtest/gtest.h>

#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

using Texts = std::vector<std::string>;

TEST(MemoryFiles, BehavesLikeAFileSystem) {
    MemoryFiles files;
    std::string program = files.folder(KnownFolder::Program);
    files.putFile(program + "/KeyMap.xml", "<a>\r\n<b>\n\n<c>");

    EXPECT_TRUE(files.exists(program + "/keymap.XML"));  // last element ignores case
    EXPECT_FALSE(files.exists("/OPT/zintor/KeyMap.xml"));
    Texts lines;
    ASSERT_TRUE(files.readLines(program + "/KeyMap.xml", lines));
    EXPECT_EQ(lines, (Texts{"<a>", "<b>", "", "<c>"}));

    std::string tail;
    EXPECT_FALSE(files.readLast128(program + "/KeyMap.xml", tail));  // shorter than 128
    files.putFile("/music/a.mp3", std::string(100, 'x') + std::string(128, 'T'));
    ASSERT_TRUE(files.readLast128("/music/a.mp3", tail));
    EXPECT_EQ(tail, std::string(128, 'T'));

    EXPECT_FALSE(files.createFolder(program + "/a/b"));  // one level only
    EXPECT_FALSE(files.appendLine(program + "/log/x.txt", "line"));
    EXPECT_TRUE(files.createFolder(program + "/log"));
    EXPECT_TRUE(files.appendLine(program + "/log/x.txt", "one"));
    EXPECT_TRUE(files.appendLine(program + "/log/x.txt", "two"));
    EXPECT_EQ(files.contents(program + "/log/x.txt"), "one\r\ntwo\r\n");
}

TEST(SimDesktopAndInput, NoticeClosesThreeSecondsAfterTheLastTextAndCursorIsClipped) {
    SimWorld world;
    world.desktop.showNotice("Changed Key Map to\r\nMouse");
    world.loop.schedule(2000, [&] { world.desktop.setNoticeText("Changed Key Map to\r\nKeys"); });
    world.loop.waitFor([&] { return !world.desktop.noticeShown(); });
    EXPECT_EQ(world.loop.now(), 5000);
    EXPECT_EQ(world.loop.activeTimerCount(), 0u);

    RecordingKeyboardMouse input(world.loop);
    input.setScreenSize(800, 600);
    input.setCursor(-5, 700);
    input.keyPress(65);
    EXPECT_EQ(input.calls(), (Texts{"cursor 0,599", "press 65"}));
}

}  // namespace
}  // namespace zintor

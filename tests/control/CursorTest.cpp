#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "KeyRig.h"

namespace zintor {
namespace {

class CursorTest : public KeyRig {
  protected:
    struct Move {
        std::int64_t atMs;
        int x, y;
    };

    std::vector<Move> Moves() const {
        std::vector<Move> out;
        for (const auto& call : world.input.timedCalls()) {
            Move m{call.atMs, 0, 0};
            if (std::sscanf(call.text.c_str(), "cursor %d,%d", &m.x, &m.y) == 2) {
                out.push_back(m);
            }
        }
        return out;
    }

    // The moves as runs of equal steps from (x, y): "-1,0 x60 -2,0 x60".
    std::string Steps(int x, int y) const {
        std::string out;
        std::string last;
        int count = 0;
        for (const Move& m : Moves()) {
            const std::string step = std::to_string(m.x - x) + "," + std::to_string(m.y - y);
            if (step != last && count > 0) {
                out += last + " x" + std::to_string(count) + " ";
                count = 0;
            }
            last = step;
            ++count;
            x = m.x;
            y = m.y;
        }
        return count > 0 ? out + last + " x" + std::to_string(count) : out;
    }
};

TEST_F(CursorTest, HeldKeyMovesWithGrowingStepsUntilItsRelease) {
    Bind(18, {Command(CommandKey, 0, "x")});  // direction keys never run commands
    world.input.placeCursor(1500, 500);
    Hold("<", 1000, 2000);
    bool accelerationRunning = false;
    bool supervisionRunning = true;
    world.loop.schedule(1500, [&] {
        accelerationRunning = link.TimerRunning(1);
        supervisionRunning = link.TimerRunning(5);
    });
    world.loop.runUntil(5000);

    // From the press (after the dispatcher's 10 ms gathering) to the release, one step per
    // MouseSpeed (5 ms), growing by a pixel every 300 ms.
    const auto moves = Moves();
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.front().atMs, 1010);
    EXPECT_EQ(moves.back().atMs, 2000);
    EXPECT_EQ(Steps(1500, 500), "-1,0 x60 -2,0 x60 -3,0 x60 -4,0 x19");

    // The acceleration timer ran only while the key was held, the supervision only outside.
    EXPECT_TRUE(accelerationRunning);
    EXPECT_FALSE(supervisionRunning);
    EXPECT_FALSE(link.TimerRunning(1));
    EXPECT_TRUE(link.TimerRunning(5));
    EXPECT_FALSE(state.MouseMoving);
    EXPECT_TRUE(TimesOf("press 88").empty());
    EXPECT_EQ(world.loop.waitDepth(), 0);
}

// Over Bluetooth a quick tap can arrive as one packet: the release is already buffered when the
// press starts moving the cursor, and must still end the movement without further bytes.
TEST_F(CursorTest, AReleaseInTheSameBurstAsThePressEndsTheMovement) {
    world.input.placeCursor(1500, 500);
    world.phone.sendAt(1000, "+CKEV: <,1\r\n+CKEV: <,0\r\n");
    world.loop.runUntil(3000);

    const auto moves = Moves();
    ASSERT_FALSE(moves.empty());
    EXPECT_LE(moves.size(), 5u);
    EXPECT_LE(moves.back().atMs, 1050);
    EXPECT_FALSE(state.MouseMoving);
    EXPECT_TRUE(state.RxBuffer.empty());
    EXPECT_FALSE(link.TimerRunning(1));
    EXPECT_EQ(world.loop.waitDepth(), 0);
}

TEST_F(CursorTest, ASecondDirectionKeyTakesOverAndBothLoopsEndAtItsRelease) {
    world.input.placeCursor(1000, 500);
    Hold("<", 1000, 3000);
    Hold("^", 1500, 2000);
    world.loop.runUntil(4000);
    // The up movement restarts the acceleration; nothing moves after the up key's release,
    // although the left key is still held.
    EXPECT_EQ(Steps(1000, 500), "-1,0 x60 -2,0 x39 0,-1 x60 0,-2 x39");
    EXPECT_EQ(Moves().back().atMs, 2000);
    EXPECT_FALSE(link.TimerRunning(1));
    EXPECT_EQ(world.loop.waitDepth(), 0);
}

TEST_F(CursorTest, MouseSpeedIsThePauseAfterEachStepAndAnyLineFromThePhoneStopsTheMovement) {
    state.MouseSpeed = 100;
    world.input.placeCursor(500, 500);
    world.phone.sendAt(1000, "+CKEV: >,1\r\n");
    world.phone.sendAt(1450, "RING\r\n");
    world.loop.runUntil(3000);
    std::vector<std::int64_t> times;
    for (const Move& m : Moves()) {
        times.push_back(m.atMs);
    }
    EXPECT_EQ(times, (std::vector<std::int64_t>{1010, 1110, 1210, 1310, 1410}));
    EXPECT_EQ(world.input.cursorX(), 507);  // steps 1, 1, 1, 2, 2
}

TEST_F(CursorTest, TheCursorIsClippedAtTheEdgeAndElseMovesByTheSameStepsRelatively) {
    world.input.placeCursor(0, 10);
    Hold("<", 1000, 1100);
    world.loop.runUntil(1500);
    EXPECT_EQ(Steps(0, 10), "0,0 x19");

    // Where the position cannot be read, and where a relative move is exact.
    for (const bool unreadable : {true, false}) {
        world.input.clear();
        world.input.failGetCursor(unreadable);
        world.input.setExactRelativeMoves(!unreadable);
        const std::int64_t start = world.loop.now() + 500;
        Hold("v", start, start + 400);
        world.loop.runUntil(start + 500);
        EXPECT_TRUE(Moves().empty());
        const auto calls = world.input.calls();
        ASSERT_GT(calls.size(), 50u);  // paced by the pause, not a spin
        EXPECT_LT(calls.size(), 100u);
        EXPECT_EQ(calls.front(), "move 0,1");
        EXPECT_EQ(calls.back(), "move 0,2");  // the step grew after 300 ms
        EXPECT_FALSE(state.MouseMoving);
    }
}

TEST_F(CursorTest, MouseStepStopsAtTheLargestSixteenBitValue) {
    world.input.placeCursor(500, 500);
    Hold("^", 1000, 2000);
    world.loop.schedule(1200, [this] { state.MouseStep = 32766; });
    world.loop.runUntil(2500);
    EXPECT_EQ(state.MouseStep, std::numeric_limits<std::int16_t>::max());
    // Up it went, clipped at the top, never down again.
    for (const auto& m : Moves()) {
        EXPECT_LE(m.y, 500);
    }
    EXPECT_EQ(world.input.cursorY(), 0);
}

}  // namespace
}  // namespace zintor

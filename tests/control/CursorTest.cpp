#include <cstdio>
#include <limits>
#include <set>
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

    // Probes taken by scheduled events.
    void ProbeTimersAt(std::int64_t atMs) {
        world.loop.schedule(atMs, [this] {
            accelerationRunning = link.TimerRunning(1);
            supervisionRunning = link.TimerRunning(5);
        });
    }
    bool accelerationRunning = false;
    bool supervisionRunning = true;
};

TEST_F(CursorTest, HeldKeyMovesWithGrowingStepsUntilItsRelease) {
    Bind(18, {Command(CommandKey, 0, "x")});  // direction keys never run commands
    world.input.placeCursor(1500, 500);
    Hold("<", 1000, 2000);
    ProbeTimersAt(1500);
    world.loop.runUntil(5000);

    const auto moves = Moves();
    ASSERT_FALSE(moves.empty());
    // Started by the press (after the dispatcher's 10 ms gathering), ended by the release.
    EXPECT_GE(moves.front().atMs, 1000);
    EXPECT_LE(moves.front().atMs, 1015);
    EXPECT_GE(moves.back().atMs, 1990);
    EXPECT_LE(moves.back().atMs, 2015);
    // One step per MouseSpeed (5 ms).
    EXPECT_GE(moves.size(), 190u);
    EXPECT_LE(moves.size(), 201u);

    // Steps of 1, 2, 3 and 4 pixels, each growing 300 ms after the last.
    int x = 1500;
    std::set<int> steps;
    int lastStep = 1;
    const std::int64_t start = moves.front().atMs;
    for (const Move& m : moves) {
        const int step = x - m.x;
        EXPECT_EQ(m.y, 500);
        EXPECT_GE(step, lastStep);
        EXPECT_LE(step, 1 + (m.atMs - start) / 300) << "at " << m.atMs;
        EXPECT_GE(step, (m.atMs - start) / 300) << "at " << m.atMs;
        steps.insert(step);
        lastStep = step;
        x = m.x;
    }
    EXPECT_EQ(steps, (std::set<int>{1, 2, 3, 4}));

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

    const auto moves = Moves();
    ASSERT_FALSE(moves.empty());
    int lefts = 0;
    int ups = 0;
    int x = 1000;
    int y = 500;
    for (const Move& m : moves) {
        if (m.x != x) {
            ++lefts;
            EXPECT_LT(m.atMs, 1515);
            EXPECT_EQ(m.y, y);
        } else {
            ++ups;
            EXPECT_GE(m.atMs, 1500);
            EXPECT_LT(m.y, y);
        }
        x = m.x;
        y = m.y;
    }
    EXPECT_GT(lefts, 90);
    EXPECT_GT(ups, 90);
    // The up movement restarted the acceleration: its first step is 1 pixel.
    for (std::size_t i = 1; i < moves.size(); ++i) {
        if (moves[i].y != moves[i - 1].y) {
            EXPECT_EQ(moves[i - 1].y - moves[i].y, 1);
            break;
        }
    }
    // Nothing moves after the up key's release, although the left key is still held.
    EXPECT_LE(moves.back().atMs, 2015);
    EXPECT_FALSE(link.TimerRunning(1));
    EXPECT_EQ(world.loop.waitDepth(), 0);
}

TEST_F(CursorTest, AnyLineFromThePhoneStopsTheMovement) {
    world.input.placeCursor(500, 500);
    world.phone.sendAt(1000, "+CKEV: >,1\r\n");
    world.phone.sendAt(1400, "RING\r\n");
    world.loop.runUntil(3000);
    const auto moves = Moves();
    ASSERT_FALSE(moves.empty());
    EXPECT_LE(moves.back().atMs, 1415);
    EXPECT_GT(world.input.cursorX(), 500);
}

TEST_F(CursorTest, TheCursorIsClippedAtTheEdgeAndAnUnreadablePositionIsLeftAlone) {
    world.input.placeCursor(0, 10);
    Hold("<", 1000, 1100);
    world.loop.runUntil(1500);
    const auto moves = Moves();
    ASSERT_GT(moves.size(), 10u);
    for (const Move& m : moves) {
        EXPECT_EQ(m.x, 0);
        EXPECT_EQ(m.y, 10);
    }

    world.input.clear();
    world.input.failGetCursor(true);
    const std::uint64_t pumps = world.loop.pumpCount();
    Hold("v", 2000, 2100);
    world.loop.runUntil(2500);
    EXPECT_TRUE(Moves().empty());
    // The pause still paces the loop (about 20 steps in 100 ms, not a spin).
    EXPECT_LT(world.loop.pumpCount() - pumps, 500u);
    EXPECT_FALSE(state.MouseMoving);
}

TEST_F(CursorTest, MouseSpeedIsThePauseAfterEachStep) {
    state.MouseSpeed = 100;
    world.input.placeCursor(500, 500);
    Hold(">", 1000, 2000);
    world.loop.runUntil(2500);
    const auto moves = Moves();
    ASSERT_EQ(moves.size(), 10u);
    for (std::size_t i = 1; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].atMs - moves[i - 1].atMs, 100);
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

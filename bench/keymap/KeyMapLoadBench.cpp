// Loading generated key maps of 100 KiB, 1 MiB and 10 MiB with the one-pass loader, and the
// literal front-consuming algorithm on the sizes where it finishes in reasonable time. After
// the runs a summary prints the time per MiB at each size (flat = linear growth) and the ratio
// of the literal algorithm to the loader.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "GeneratedKeyMap.h"
#include "LiteralKeyMapLoader.h"
#include "core/keymap/KeyMapLoader.h"
#include "core/shared/ProgramState.h"

namespace {

using namespace zintor;

const std::string& keyMapText(std::size_t bytes) {
    static std::map<std::size_t, std::string> texts;
    auto& text = texts[bytes];
    if (text.empty()) {
        text = generateKeyMapText(bytes);
    }
    return text;
}

void report(benchmark::State& state, const std::string& text, std::size_t keyMaps) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["key_maps"] = static_cast<double>(keyMaps);
}

void BM_LoadKeyMaps(benchmark::State& state) {
    const std::string& text = keyMapText(static_cast<std::size_t>(state.range(0)));
    std::size_t keyMaps = 0;
    for (auto _ : state) {
        ProgramState program;
        const KeyMapLoadResult result = loadKeyMaps(text, program.keyMaps, program.usbOutputs);
        if (!result.ok()) {
            state.SkipWithError(result.error->text.c_str());
            return;
        }
        keyMaps = program.keyMaps.size();
        benchmark::DoNotOptimize(program.keyMaps.data());
    }
    report(state, text, keyMaps);
}

void BM_LiteralLoadKeyMaps(benchmark::State& state) {
    const std::string& text = keyMapText(static_cast<std::size_t>(state.range(0)));
    std::size_t keyMaps = 0;
    for (auto _ : state) {
        ProgramState program;
        if (literal::loadKeyMaps(text, program.keyMaps, program.usbOutputs, false)) {
            state.SkipWithError("literal loader failed");
            return;
        }
        keyMaps = program.keyMaps.size();
        benchmark::DoNotOptimize(program.keyMaps.data());
    }
    report(state, text, keyMaps);
}

constexpr std::int64_t KiB = 1024, MiB = 1024 * KiB;

BENCHMARK(BM_LoadKeyMaps)->Arg(100 * KiB)->Arg(MiB)->Arg(10 * MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralLoadKeyMaps)
    ->Arg(100 * KiB)
    ->Arg(MiB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Collects the time of each run (the median when repeated) for the summary. CPU time is shown
// beside real time: on a busy machine real time mostly measures waiting for a processor.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(median || run.run_type == Run::RT_Iteration)) {
                continue;
            }
            // keys are "<function>/<argument>"; times in ms
            Times& t = times_[run.run_name.function_name + "/" + run.run_name.args];
            if (median || !t.median) {
                t = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(), median};
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\nsummary: time in ms (real / cpu), ms per MiB of cpu time, literal / loader\n");
        for (std::int64_t size : {100 * KiB, MiB, 10 * MiB}) {
            std::string arg(1, '/');
            arg += std::to_string(size);
            const double mib = static_cast<double>(size) / MiB;
            auto fast = times_.find("BM_LoadKeyMaps" + arg);
            auto slow = times_.find("BM_LiteralLoadKeyMaps" + arg);
            if (fast == times_.end()) {
                continue;
            }
            const Times& f = fast->second;
            std::printf("  %7.3f MiB  loader %8.2f / %8.2f  (%.2f ms/MiB)", mib, f.real, f.cpu,
                        f.cpu / mib);
            if (slow != times_.end()) {
                const Times& l = slow->second;
                std::printf("  literal %9.1f / %9.1f  ratio %.0fx (cpu %.0fx)", l.real, l.cpu,
                            l.real / f.real, l.cpu / f.cpu);
            }
            std::printf("\n");
        }
    }

  private:
    struct Times {
        double real = 0, cpu = 0;
        bool median = false;
    };
    std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

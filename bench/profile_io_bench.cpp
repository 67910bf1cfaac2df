// The profile read (whole and partial) and the whole-profile write against the emulated mouse
// at its 1 ms answer latency, each next to its floor.
//
// The floors are those of bench_mouse.h.
//
// Targets: real time within 10 % of the floor (1 <= ratio = real / floor <= 1.10) for
// - BM_FullRead/0 (no macro keys), BM_FullRead/4 (four macro keys of 70 events),
// - BM_PartRead/0 (the settings, what `zorvanctl set` reads), BM_PartRead/1 (one key, what
//   `zorvanctl assign` reads),
// - BM_WholeProfileWrite (keys, lighting, DPI levels and colours, every single pair).
#include "bench_mouse.h"
#include "profile/profile_read.h"

#include <benchmark/benchmark.h>

namespace zorvan {
namespace {

using namespace bench;

constexpr uint32_t kWholeProfile = 0x1FFFF & ~(apply::kReset | apply::kProgress | apply::kSystemPointer);

void BM_FullRead(benchmark::State& state)
{
    Bench& bench = TheBench();
    bench.UseMacroKeys(int(state.range(0)));
    std::atomic<bool> abort{false};
    Measure measure;
    for (auto _ : state) {
        ProfileRecord working = *CurrentProfileCopy();
        ProfileReadExtras extras;
        if (!measure.Once(bench, [&] { return GetProfile(bench.link, abort, working, extras); }))
            state.SkipWithError("read failed");
    }
    measure.Report(state);
}
BENCHMARK(BM_FullRead)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PartRead(benchmark::State& state)
{
    Bench& bench = TheBench();
    bench.UseMacroKeys(0);
    const ReadScope scope = state.range(0) == 0 ? ReadScope::Settings() : ReadScope::Keys(1u << 4);
    std::atomic<bool> abort{false};
    Measure measure;
    for (auto _ : state) {
        ProfileRecord working = *CurrentProfileCopy();
        ProfileReadExtras extras;
        if (!measure.Once(bench, [&] { return GetProfilePart(bench.link, abort, scope, working, extras); }))
            state.SkipWithError("read failed");
    }
    measure.Report(state);
}
BENCHMARK(BM_PartRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WholeProfileWrite(benchmark::State& state)
{
    Bench& bench = TheBench();
    bench.UseMacroKeys(0);
    Measure measure;
    for (auto _ : state) {
        const WriteSnapshot snapshot = *TakeWriteSnapshot();
        if (!measure.Once(bench, [&] { return WriteSettings(bench.link, snapshot, kWholeProfile, apply::kAll); }))
            state.SkipWithError("write failed");
    }
    measure.Report(state);
}
BENCHMARK(BM_WholeProfileWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();

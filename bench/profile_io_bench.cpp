// The profile read and the whole-profile write against the emulated mouse at its 1 ms answer
// latency, each next to the protocol floor: the pauses the protocol mandates plus the device
// latency for every exchange.
//
// The floors are those of bench_mouse.h.
//
// Targets: real time within 10 % of the floor (ratio = real / floor <= 1.10) for
// - BM_FullRead/0 (no macro keys), BM_FullRead/4 (four macro keys of 70 events),
// - BM_WholeProfileWrite (keys, lighting, DPI levels and colours, every single pair).
// The answer arrives during the pause before the wait, so a ratio a little below 1 is expected.
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
    const int macroKeys = int(state.range(0));
    bench.UseMacroKeys(macroKeys);
    std::atomic<bool> abort{false};
    double realMs = 0;
    double floorMs = 0;
    int exchanges = 0;
    for (auto _ : state) {
        ProfileRecord working = *CurrentProfileCopy();
        ProfileReadExtras extras;
        const int before = bench.firmware->RequestCount();
        const auto start = std::chrono::steady_clock::now();
        if (!GetProfile(bench.link, abort, working, extras))
            state.SkipWithError("read failed");
        realMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        exchanges = bench.firmware->RequestCount() - before;
        floorMs += ReadFloorMs(exchanges, macroKeys);
    }
    Report(state, realMs / double(state.iterations()), floorMs / double(state.iterations()), exchanges);
}
BENCHMARK(BM_FullRead)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WholeProfileWrite(benchmark::State& state)
{
    Bench& bench = TheBench();
    bench.UseMacroKeys(0);
    double realMs = 0;
    double floorMs = 0;
    int exchanges = 0;
    for (auto _ : state) {
        const WriteSnapshot snapshot = *TakeWriteSnapshot();
        const int before = bench.firmware->RequestCount();
        bench.areaWrites = 0;
        const auto start = std::chrono::steady_clock::now();
        if (!WriteSettings(bench.link, snapshot, kWholeProfile, apply::kAll))
            state.SkipWithError("write failed");
        realMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        exchanges = bench.firmware->RequestCount() - before;
        const bool mainOff = CurrentDevice()->ShowMainEffect && snapshot.profile.mainLight.mode == 0;
        floorMs += WriteFloorMs(exchanges, bench.areaWrites, mainOff);
    }
    Report(state, realMs / double(state.iterations()), floorMs / double(state.iterations()), exchanges);
}
BENCHMARK(BM_WholeProfileWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();

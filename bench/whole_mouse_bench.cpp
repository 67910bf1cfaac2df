// The whole-mouse backup and restore against the emulated mouse at its 1 ms answer latency,
// each next to four times the protocol floor of one profile (bench_mouse.h): a backup is four
// profile reads, a restore four whole-profile writes; the profile switches and the question
// which profile is active are the overhead.
//
// Targets: real time within 5 % of four single-profile floors (ratio <= 1.05) for
// - BM_Backup/0 (no macro keys) and BM_Backup/4 (four macro keys of 70 events per profile),
// - BM_Restore/0 (write check off).
// BM_Restore/1 (write check on) shows what reading every written byte back costs.
#include "bench_mouse.h"
#include "profile/mouse_backup.h"
#include "profile/profile_import_fit.h"
#include "profile/profile_read.h"

#include <benchmark/benchmark.h>

namespace zorvan {
namespace {

using namespace bench;

// Every on-board profile with `macroKeys` macro keys; profile 1 active.
void PrepareProfiles(Bench& mouse, int macroKeys)
{
    for (int p = eeprom::kOnBoardProfiles - 1; p >= 0; --p) {
        mouse.link.SetCurProfile(p);
        mouse.UseMacroKeys(macroKeys);
    }
}

// The floor of reading one of the profiles.
double SingleReadFloor(Bench& mouse)
{
    std::atomic<bool> abort{false};
    ProfileRecord working = *CurrentProfileCopy();
    ProfileReadExtras extras;
    Measure single;
    single.Once(mouse, [&] { return GetProfile(mouse.link, abort, working, extras); });
    return single.FloorMs();
}

void BM_Backup(benchmark::State& state)
{
    Bench& mouse = TheBench();
    PrepareProfiles(mouse, int(state.range(0)));
    const double floorMs = 4 * SingleReadFloor(mouse);
    std::atomic<bool> abort{false};
    Measure measure;
    for (auto _ : state) {
        QString error;
        if (!measure.Once(mouse, [&] { return ReadWholeMouse(mouse.link, abort, {}, error).has_value(); }))
            state.SkipWithError("backup failed");
    }
    measure.Report(state, floorMs);
}
BENCHMARK(BM_Backup)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_Restore(benchmark::State& state)
{
    Bench& mouse = TheBench();
    PrepareProfiles(mouse, 0);
    std::atomic<bool> abort{false};
    QString error;
    const std::optional<MouseBackup> backup = ReadWholeMouse(mouse.link, abort, {}, error);
    if (!backup) {
        state.SkipWithError("backup failed");
        return;
    }
    // One profile written as the restore writes each of them.
    WriteSnapshot single;
    single.profile = backup->profiles[0].record;
    single.profile.currentKeySet = 0;
    single.currentDpiLevel = backup->profiles[0].currentDpiLevel;
    const uint32_t flags = ImportRequest(*CurrentDevice(), false).flags & ~apply::kSystemPointer;
    Measure one;
    one.Once(mouse, [&] { return WriteSettings(mouse.link, single, flags, apply::kAll); });
    const double floorMs = 4 * one.FloorMs();

    const RestoreOptions options{false, state.range(0) != 0};
    Measure measure;
    for (auto _ : state) {
        if (!measure.Once(mouse, [&] { return WriteWholeMouse(mouse.link, *backup, options, {}, error); }))
            state.SkipWithError("restore failed");
    }
    measure.Report(state, floorMs);
}
BENCHMARK(BM_Restore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();

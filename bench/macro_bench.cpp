// The macro library is loaded from the macro folder while the main window starts, and "mac.dct"
// is written while the session ends.
// Targets: loading a folder of 2000 macro files under 50 ms (warm cache); writing "mac.dct"
// (1,668,000 bytes from a full library) under 20 ms.
#include "app/paths.h"
#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using namespace zorvan;

StMacro BenchMacro(uint32_t id)
{
    StMacro m;
    std::memset(&m, 0, sizeof m);
    m.magic = kMacroMagic;
    m.id = id;
    m.autoDelay = 1;
    m.repeatCount = 1;
    SetMacroName(m, QStringLiteral("Macro %1").arg(id));
    for (int i = 0; i < 70; ++i)
        m.events[i] = MacroEvent{uint16_t(0x41 + i % 26), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 25};
    return m;
}

// A data folder whose macro folder holds 2000 macro files.
class FullMacroFolder {
public:
    FullMacroFolder()
    {
        Paths().dataDir = dir_.path() + u'/';
        MakeSureFolderExist(MacroFolder() + QStringLiteral("/x"));
        for (uint32_t id = 1; id <= uint32_t(kMacroLibraryMax); ++id) {
            const StMacro m = BenchMacro(id);
            QFile file(MacroFilePath(MacroName(m), m.id));
            file.open(QIODevice::WriteOnly);
            const auto image = EncodeMacroFile(m);
            file.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
        }
    }

private:
    QTemporaryDir dir_;
};

void BM_LoadMacroFolder2000(benchmark::State& state)
{
    FullMacroFolder folder;
    for (auto _ : state) {
        Macros().Clear();
        const bool ok = LoadMacroFolder(MacroFolder(), nullptr, nullptr, true, true);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["macros"] = Macros().Count();
    Macros().Clear();
}
BENCHMARK(BM_LoadMacroFolder2000)->Unit(benchmark::kMillisecond);

void BM_SaveMacroSnapshot(benchmark::State& state)
{
    QTemporaryDir dir;
    Paths().dataDir = dir.path() + u'/';
    Macros().Clear();
    for (uint32_t id = 1; id <= uint32_t(kMacroLibraryMax); ++id)
        Macros().AddCopy(BenchMacro(id));
    for (auto _ : state) {
        const bool ok = SaveMacroSnapshot();
        benchmark::DoNotOptimize(ok);
    }
    Macros().Clear();
}
BENCHMARK(BM_SaveMacroSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The profile read and the whole-profile write against the emulated mouse at its 1 ms answer
// latency, each next to the protocol floor: the pauses the protocol mandates plus the device
// latency for every exchange.
//
// Floor of an exchange: the 10 ms pause before every answer wait + 1 ms latency. Floor of a
// read: every exchange, 10 ms after each of the 19 base reads, 20 ms after the base area,
// 10 ms before each of the 16 name reads, 5 ms after every ReadROM piece and 15 ms before each
// macro slot. Floor of a write: every exchange and the 10 ms pause of every area write (all
// EEPROM writes but the key matrix).
//
// Targets: real time within 10 % of the floor (ratio = real / floor <= 1.10) for
// - BM_FullRead/0 (no macro keys), BM_FullRead/4 (four macro keys of 70 events),
// - BM_WholeProfileWrite (keys, lighting, DPI levels and colours, every single pair).
// The answer arrives during the pause before the wait, so a ratio a little below 1 is expected.
#include "app/configuration.h"
#include "app/log.h"
#include "app/paths.h"
#include "device/emulated/emulated_bus.h"
#include "device/service_thread.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/apply_request.h"
#include "profile/factory_image.h"
#include "profile/function_codes.h"
#include "profile/profile_read.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <string>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kWholeProfile = 0x1FFFF & ~(apply::kReset | apply::kProgress | apply::kSystemPointer);
constexpr double kExchangeFloorMs = 10 + 1;

// The default cfg.ini with its first model current, four new profiles, and that model's
// emulated mouse with its link open and its reader thread running.
struct Bench {
    Bench()
    {
        LoadConfiguration(QStringLiteral(ZORVAN_SOURCE_DIR "/data/cfg.ini"), dir.filePath(QStringLiteral("Log.txt")));
        InitLog(0, {});
        Paths().dataDir = dir.path() + u'/';
        Config().SetCurrentDeviceIndex(0);
        LoadPro();
        const auto built = BuildFactoryImages(*CurrentDevice());
        eeprom::ProfileImages images{};
        for (size_t p = 0; p < images.size(); ++p)
            std::copy_n(built[p].begin(), images[p].size(), images[p].begin());
        firmware = std::make_shared<MouseFirmware>(0x1A, 0x01, images);
        firmware->SetAnswerLatency(1ms);
        bus.AddMouse(firmware, 0x25A7, 0xFA92);
        const EmulatedBus::MouseHandles opened = bus.OpenMouse(0);
        notify = opened.notify;
        link.SetHandles(opened.cmd, notify);
        slot.hCmd = opened.cmd;
        slot.hNotify = notify;
        slot.control = std::make_shared<SlotControl>();
        reader.Start([this] { ServiceThread(slot, replies, nullptr); });
        // Area writes are counted from the log, which the program writes anyway.
        SetLogEcho([this](const std::string& line) {
            if (line.rfind("WriteEEPROM( Addr=", 0) == 0)
                ++areaWrites;
        });
    }
    ~Bench()
    {
        SetLogEcho({});
        slot.control->RequestStop();
        notify->CancelRead();
        reader.JoinAll();
    }

    // Keys 1..n of the current key set become macro keys of 70 events on the mouse.
    void UseMacroKeys(int n)
    {
        Macros().Clear();
        EditCurrentProfile([n](ProfileRecord& p) {
            for (int k = 1; k <= n; ++k) {
                p.CurrentKey(k)->dwFunID = kFunMacro;
                p.CurrentKey(k)->dwMacroID = uint32_t(0x4000 + k);
            }
        });
        for (int k = 1; k <= n; ++k) {
            StMacro m{};
            m.magic = kMacroMagic;
            m.id = uint32_t(0x4000 + k);
            m.repeatCount = 1;
            SetMacroName(m, QStringLiteral("bench%1").arg(k));
            for (int e = 0; e < 70; ++e)
                m.events[e] = {uint16_t('A' + e % 26), uint16_t(e % 2 == 0 ? 1 : 0), 20};
            Macros().AddCopy(m);
        }
        WriteSettings(link, *TakeWriteSnapshot(), apply::kKeys, apply::kAll);
    }

    QTemporaryDir dir;
    EmulatedBus bus;
    std::shared_ptr<MouseFirmware> firmware;
    ReplyQueue replies;
    CUSBDriver link{nullptr, replies};
    HidHandlePtr notify;
    DeviceSlot slot;
    ThreadSet reader;
    std::atomic<int> areaWrites{0};
};

Bench& TheBench()
{
    static Bench bench;
    return bench;
}

void Report(benchmark::State& state, double realMs, double floorMs, int exchanges)
{
    state.counters["real_ms"] = realMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = realMs / floorMs;
    state.counters["exchanges"] = exchanges;
}

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
        const int romPieces = exchanges - 19 - 32;
        floorMs += exchanges * kExchangeFloorMs + 19 * 10 + 20 + 16 * 10 + 5 * romPieces + 15 * macroKeys;
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
        floorMs += exchanges * kExchangeFloorMs + 10 * (bench.areaWrites - 1 + (mainOff ? 1 : 0));
    }
    Report(state, realMs / double(state.iterations()), floorMs / double(state.iterations()), exchanges);
}
BENCHMARK(BM_WholeProfileWrite)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();

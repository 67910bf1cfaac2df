#pragma once
// The emulated mouse the benchmarks of the profile read and write run against: the default
// cfg.ini with its first model current, four new profiles, and that model's emulated mouse at
// its 1 ms answer latency with its link open and its reader thread running.
#include "app/configuration.h"
#include "app/log.h"
#include "app/paths.h"
#include "device/emulated/emulated_bus.h"
#include "device/protocol_pause.h"
#include "device/service_thread.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/apply_request.h"
#include "profile/factory_image.h"
#include "profile/function_codes.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace zorvan::bench {

using namespace std::chrono_literals;

constexpr auto kLatency = 1ms;

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
        firmware->SetAnswerLatency(kLatency);
        bus.AddMouse(firmware, 0x25A7, 0xFA92);
        const EmulatedBus::MouseHandles opened = bus.OpenMouse(0);
        notify = opened.notify;
        link.SetHandles(opened.cmd, notify);
        slot.hCmd = opened.cmd;
        slot.hNotify = notify;
        slot.control = std::make_shared<SlotControl>();
        reader.Start([this] { ServiceThread(slot, replies, nullptr); });
    }
    ~Bench()
    {
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
};

inline Bench& TheBench()
{
    static Bench bench;
    return bench;
}

// The counters every benchmark against the mouse reports.
inline void Report(benchmark::State& state, double realMs, double floorMs, double pauseMs, int exchanges)
{
    state.counters["real_ms"] = realMs;
    state.counters["exchanges"] = exchanges;
    state.counters["pause_ms"] = pauseMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = realMs / floorMs;
}

// Measures runs of one read or write with the exchanges they made and the pauses they slept.
//
// Floor: the pauses a run actually made, every one of them mandated by the protocol (the sum
// ProtocolPause keeps for the thread: 10 ms before every answer wait, the pauses between read
// pieces and after the base area, before each macro name and slot, between area writes), plus
// per exchange the part of the device latency that the pause before its answer wait does not
// cover (none at 1 ms latency: the answer arrives during that pause). Real time can never be
// below the floor: every pause is slept in full on the measuring thread. A ratio below 1 means
// the floor is wrong.
struct Measure {
    double realMs = 0;
    double floorMs = 0;
    double pauseMs = 0;
    int exchanges = 0;
    int64_t runs = 0;

    template <typename Run>
    bool Once(Bench& bench, const Run& run)
    {
        const int before = bench.firmware->RequestCount();
        const auto pausesBefore = ProtocolPausesOfThisThread();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = run();
        realMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const double pauses = std::chrono::duration<double, std::milli>(ProtocolPausesOfThisThread() - pausesBefore).count();
        exchanges = bench.firmware->RequestCount() - before;
        const auto uncovered = std::max(0ms, kLatency - bench.link.timing.pauseBeforeWait);
        pauseMs += pauses;
        floorMs += pauses + double(exchanges) * std::chrono::duration<double, std::milli>(uncovered).count();
        ++runs;
        return ok;
    }

    double Runs() const { return double(std::max<int64_t>(runs, 1)); }
    double FloorMs() const { return floorMs / Runs(); }
    // Reports the mean run against its own floor, or against `floorMs` when given.
    void Report(benchmark::State& state, std::optional<double> otherFloorMs = {}) const
    {
        bench::Report(state, realMs / Runs(), otherFloorMs.value_or(FloorMs()), pauseMs / Runs(), exchanges);
    }
};

}  // namespace zorvan::bench

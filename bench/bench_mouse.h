#pragma once
// The emulated mouse the benchmarks of the profile read and write run against: the default
// cfg.ini with its first model current, four new profiles, and that model's emulated mouse at
// its 1 ms answer latency with its link open and its reader thread running.
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
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace zorvan::bench {

using namespace std::chrono_literals;

// Floor of one exchange: the 10 ms pause before every answer wait + 1 ms latency.
constexpr double kExchangeFloorMs = 10 + 1;

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

inline Bench& TheBench()
{
    static Bench bench;
    return bench;
}

// The protocol floor of a full profile read of `exchanges` requests with `macroKeys` macro keys:
// every exchange, 10 ms after each of the 19 base reads, 20 ms after the base area, 10 ms before
// each of the 16 name reads, 5 ms after every ReadROM piece and 15 ms before each macro slot.
inline double ReadFloorMs(int exchanges, int macroKeys)
{
    const int romPieces = exchanges - 19 - 32;
    return exchanges * kExchangeFloorMs + 19 * 10 + 20 + 16 * 10 + 5 * romPieces + 15 * macroKeys;
}

// The floor of a write of `exchanges` requests and `areaWrites` EEPROM writes: every exchange
// and the 10 ms pause of every area write but the key matrix (and the read before main
// lighting that is off).
inline double WriteFloorMs(int exchanges, int areaWrites, bool mainLightOff)
{
    return exchanges * kExchangeFloorMs + 10 * (areaWrites - 1 + (mainLightOff ? 1 : 0));
}

// The counters every benchmark against the mouse reports.
inline void Report(benchmark::State& state, double realMs, double floorMs, int exchanges)
{
    state.counters["real_ms"] = realMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = realMs / floorMs;
    state.counters["exchanges"] = exchanges;
}

}  // namespace zorvan::bench

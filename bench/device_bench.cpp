// Device link against the emulated mouse at its realistic 1 ms answer latency.
//
// Targets:
// - BM_Exchange (one GetCurProfile exchange): at most the 10 ms pause before the wait plus the
//   1 ms device latency plus under 1 ms of our own: < 12 ms real time per exchange.
// - BM_IdleCpu (a connected mouse, reader thread waiting, nobody asking): the process uses no
//   CPU while idle: cpu_ms_per_s < 1.
// - BM_Dispatch (input reports through the reader's dispatch, log off, an answer and a mouse
//   event in turn): < 1 us per report (the counter per_report: seconds of CPU per report).
#include "app/configuration.h"
#include "device/emulated/emulated_bus.h"
#include "device/event_dispatch.h"
#include "device/service_thread.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <thread>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

class NullSink : public EventSink {
public:
    void PostMouseEvent(int, int) override {}
};

// An emulated mouse, its link and its reader thread, as after identification.
struct ConnectedMouse {
    ConnectedMouse()
    {
        Config().opt.Retry = 3;
        firmware->SetAnswerLatency(1ms);
        bus.AddMouse(firmware, 0x25A7, 0xFA92);
        const EmulatedBus::MouseHandles opened = bus.OpenMouse(0);
        cmd = opened.cmd;
        notify = opened.notify;
        link.SetHandles(cmd, notify);
        slot.hCmd = cmd;
        slot.hNotify = notify;
        slot.control = std::make_shared<SlotControl>();
        reader.Start([this] { ServiceThread(slot, replies, &sink); });
    }
    ~ConnectedMouse()
    {
        slot.control->RequestStop();
        notify->CancelRead();
        reader.JoinAll();
    }

    EmulatedBus bus;
    std::shared_ptr<MouseFirmware> firmware = std::make_shared<MouseFirmware>(0x1A, 0x01, eeprom::ProfileImages{});
    ReplyQueue replies;
    NullSink sink;
    CUSBDriver link{nullptr, replies};
    HidHandlePtr cmd, notify;
    DeviceSlot slot;
    ThreadSet reader;
};

void BM_Exchange(benchmark::State& state)
{
    ConnectedMouse mouse;
    for (auto _ : state) {
        if (mouse.link.GetCurProfile() != 0)
            state.SkipWithError("exchange failed");
    }
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void BM_IdleCpu(benchmark::State& state)
{
    ConnectedMouse mouse;
    double cpuMs = 0, seconds = 0;
    for (auto _ : state) {
        const double before = ProcessCpuMs();
        std::this_thread::sleep_for(500ms);
        cpuMs += ProcessCpuMs() - before;
        seconds += 0.5;
    }
    state.counters["cpu_ms_per_s"] = cpuMs / seconds;
}
BENCHMARK(BM_IdleCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

void BM_Dispatch(benchmark::State& state)
{
    ReplyQueue replies;
    NullSink sink;
    const uint8_t answer[17] = {0x09, 0x08, 0x00, 0x00, 0x0C, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const uint8_t event[17] = {0x09, 0x0A, 0, 0, 0, 0, 0xE7, 2, 1, 0, 3};
    for (auto _ : state) {
        DispatchInputReport(answer, sizeof answer, replies, &sink);
        DispatchInputReport(event, sizeof event, replies, &sink);
        if (replies.Size() > 32)
            replies.Clear();
    }
    constexpr int kReportsPerIteration = 2;
    state.SetItemsProcessed(state.iterations() * kReportsPerIteration);
    state.counters["per_report"] = benchmark::Counter(double(state.iterations() * kReportsPerIteration),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Dispatch);

}  // namespace
}  // namespace zorvan

BENCHMARK_MAIN();

#include "device_test_support.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace zorvan::test {

void UseTestConfiguration(int retry)
{
    Configuration& config = Config();
    config.opt.VID = kVid;
    config.opt.PID = kPid;
    config.opt.PID2 = kPid2;
    config.opt.Retry = retry;
    config.devices = {};
    config.devices[0].CID = kCid;
    config.devices[0].MID = kMid;
    config.devices[0].Sensor = 0x3325;
    config.devices[1].CID = kCid;
    config.devices[1].MID = 0x02;
    config.devices[1].Sensor = 0x3395;
    config.SetCurrentDevice(nullptr);
}

eeprom::ProfileImages TestImages()
{
    eeprom::ProfileImages images{};
    for (size_t p = 0; p < images.size(); ++p) {
        for (size_t i = 0; i < images[p].size(); ++i)
            images[p][i] = uint8_t(p * 0x40 + i * 7);
        images[p][eeprom::kDpiLevelCount] = 3;
        images[p][eeprom::kDpiLevelCount + 1] = eeprom::PairCheck(3);
        images[p][eeprom::kCurrentDpiLevel] = 0;
        images[p][eeprom::kCurrentDpiLevel + 1] = eeprom::PairCheck(0);
    }
    return images;
}

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "device_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    App();
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return done();
}

void RecordingSink::PostMouseEvent(int value, int kind)
{
    std::lock_guard lock(mutex_);
    events_.emplace_back(value, kind);
}

std::vector<std::pair<int, int>> RecordingSink::Events() const
{
    std::lock_guard lock(mutex_);
    return events_;
}

LinkedMouse::LinkedMouse(std::chrono::milliseconds latency)
    : firmware(std::make_shared<MouseFirmware>(kCid, kMid, TestImages()))
{
    firmware->SetAnswerLatency(latency);
    bus.AddMouse(firmware, kVid, kPid);
    const EmulatedBus::MouseHandles opened = bus.OpenMouse(0);
    cmd = opened.cmd;
    notify = opened.notify;
    link.SetHandles(cmd, notify);
    DeviceSlot slot;
    slot.hCmd = cmd;
    slot.hNotify = notify;
    slot.control = control;
    reader_.Start([this, slot] { ServiceThread(slot, replies, &events); });
}

LinkedMouse::~LinkedMouse()
{
    StopReader();
}

void LinkedMouse::StopReader()
{
    control->RequestStop();
    notify->CancelRead();
    reader_.JoinAll();
}

std::vector<std::tuple<int, int, int>> LinkedMouse::TakeRequests()
{
    const size_t total = size_t(firmware->RequestCount());
    const std::vector<HidReport> log = firmware->RequestLog();
    std::vector<std::tuple<int, int, int>> requests;
    for (size_t i = log.size() - std::min(total - seen_, log.size()); i < log.size(); ++i)
        requests.emplace_back(log[i][1], log[i][3] << 8 | log[i][4], log[i][5]);
    seen_ = total;
    return requests;
}

}  // namespace zorvan::test

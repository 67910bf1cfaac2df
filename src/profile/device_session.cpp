#include "profile/device_session.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "device/eeprom_map.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_defaults.h"
#include "profile/profile_read.h"
#include "profile/profile_store.h"
#include "profile/session_state.h"
#include "text/language_texts.h"

#include <QThread>

#include <algorithm>
#include <chrono>

namespace zorvan {
namespace {

constexpr int kProfiles = 4;
constexpr int kMainLightBytes = 8;
constexpr int kLogoLightBytes = 10;
constexpr int kDpiEffectBytes = 6;

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ShowText(const char* key)
{
    ShowMessage(QStringLiteral("Warning"), GetText(key));
}

}  // namespace

DeviceSession::DeviceSession(DeviceTable& table, CUSBDriver& link, DeviceNotifier& notifier,
                             DeviceDiscovery& discovery, QObject* parent)
    : QObject(parent),
      tickCount(&SteadyMilliseconds),
      table_(table),
      link_(link),
      notifier_(notifier),
      discovery_(discovery)
{
    powerTimer_.setSingleShot(false);
    takeOverTimer_.setSingleShot(true);
    connect(&powerTimer_, &QTimer::timeout, this, &DeviceSession::GetPower);
    connect(&takeOverTimer_, &QTimer::timeout, this, &DeviceSession::OnFindDeviceOK);
    connect(&notifier_, &DeviceNotifier::deviceIdentified, this, &DeviceSession::OnDeviceIdentified);
    connect(&notifier_, &DeviceNotifier::mouseEvent, this, &DeviceSession::OnDeviceBehavior);
    connect(&discovery_, &DeviceDiscovery::deviceGone, this, &DeviceSession::deviceLost);
    connect(&discovery_, &DeviceDiscovery::tooManyDevices, this,
            [this] { emit closeRequested(QStringLiteral("tc_msg36")); });

    // The worker reports on its own thread; the news reaches the window on this one.
    worker_.SetProgressCallback([this](int percent) {
        QMetaObject::invokeMethod(this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
    });
    worker_.SetDoneCallback([this](const ApplyRequest& request, bool ok) {
        lastApplyOk_.store(ok);
        if (request.flags & apply::kProgress)
            QMetaObject::invokeMethod(this, [this] { emit progressEnded(); }, Qt::QueuedConnection);
    });
}

DeviceSession::~DeviceSession()
{
    worker_.Stop();
    abort_.store(true);
    readThreads_.JoinAll();
}

int DeviceSession::CountDevices()
{
    LoadCID();
    return discovery_.FindDev();
}

void DeviceSession::Start()
{
    if (started_)
        return;
    started_ = true;
    discovery_.StartDeviceCountCheck();
    worker_.Start(link_);
    discovery_.WatchDeviceChanges();
    RefreshLayout();
}

bool DeviceSession::Reading() const
{
    return !Session().syncFlag.load();
}

std::optional<int> DeviceSession::FirmwareVersion() const
{
    const int current = table_.CurrentIndex();
    if (current < 0 || !Connected())
        return std::nullopt;
    return table_.Get(current).version;
}

std::optional<int> DeviceSession::ProductId() const
{
    const int current = table_.CurrentIndex();
    if (current < 0 || !Connected())
        return std::nullopt;
    return table_.Get(current).PID;
}

bool DeviceSession::UnderPid() const
{
    return ProductId() == int(Options().PID);
}

void DeviceSession::TellDrvStatus(int shown)
{
    windowShown_ = shown != 0;
    if (Connected())
        link_.TellDrvStatus(uint8_t(shown));
}

bool DeviceSession::SettingsChangeAllowed()
{
    if (Reading()) {
        ShowText("tc_adv_str15");
        return false;
    }
    const AppOptions& options = Options();
    if (table_.AnyCommandHandle()) {
        if (options.ApplyNow == 0 || options.GoWithNoDev != 0 || link_.GetConnectStatus() == 1)
            return true;
        ShowText("tc_msg10");
        return false;
    }
    if (options.GoWithNoDev != 0)
        return true;
    ShowText("tc_msg15");
    return false;
}

bool DeviceSession::Apply(const Edit& edit)
{
    if (!edit.IsChanged()) {
        if (!edit.message.isEmpty())
            ShowMessage(QStringLiteral("Warning"), edit.message);
        return false;
    }
    if (Options().ApplyNow != 0)
        Post(edit.request);
    return true;
}

bool DeviceSession::ApplyLighting(const Edit& edit)
{
    if (!edit.IsChanged() || Options().ApplyNow == 0)
        return Apply(edit);
    // The lighting page asks after a short pause whether the mouse takes lighting changes now.
    QThread::msleep(uint32_t(timing.lightEventPauseMs));
    int refused = 0;
    if (link_.GetLightingLock(refused) && refused != 0) {
        ShowText("tc_adv_str29");
        return false;
    }
    Post(edit.request);
    return true;
}

bool DeviceSession::SelectProfile(int index)
{
    if (!link_.SetCurProfile(index)) {
        Log("SetCurProfile Err");
        return false;
    }
    // The mouse also reports the switch as an event; a read started by it aborts this one.
    StartProfileRead();
    return true;
}

bool DeviceSession::RestoreDefaultsAllowed()
{
    if (!Connected() && Options().GoWithNoDev == 0) {
        ShowText("tc_msg15");
        return false;
    }
    if (Reading()) {
        ShowText("tc_adv_str15");
        return false;
    }
    return SettingsChangeAllowed();
}

void DeviceSession::ResetProfileToDefaults()
{
    int levels = kDpiLevels;
    {
        SessionState& session = Session();
        std::lock_guard lock(session.profileLock);
        if (ProfileRecord* first = session.profiles.At(0)) {
            zorvan::ResetProfileToDefaults(*first);
            session.profiles.SetCurrent(0);
            levels = first->LevelCount();
        }
    }
    // DEFLEVEL comes from cfg.ini: kept to the levels of the new profile, as the mouse's reset
    // keeps it.
    if (const DeviceDescription* device = CurrentDevice())
        g_nCurDpiLevel.store(std::clamp(device->DefaultLevel, 0, levels - 1));
    resetTime_ = tickCount();
    resetNoted_ = true;
}

void DeviceSession::WriteDefaultsToMouse()
{
    lastApplyOk_.store(false);
    if (!worker_.PostWithProgress(apply::kReset))
        emit progressEnded();
}

void DeviceSession::StartProfileRead()
{
    emit readStarted();
    readThreads_.Reap();
    readThreads_.Start([this] { ReadCurCfgThread(); });
}

void DeviceSession::Exit()
{
    discovery_.StopFindTimer();
    if (CurrentDevice() != nullptr) {
        SavePro();
        SaveCID();
    }
}

bool DeviceSession::WaitApplied(std::chrono::milliseconds timeout)
{
    return worker_.WaitIdle(timeout) && lastApplyOk_.load();
}

bool DeviceSession::Post(const ApplyRequest& request)
{
    lastApplyOk_.store(false);
    return worker_.Post(request.flags, request.data);
}

void DeviceSession::OnDeviceIdentified()
{
    if (!takeOverTimer_.isActive())
        takeOverTimer_.start(timing.takeOverMs);
}

void DeviceSession::OnFindDeviceOK()
{
    takeOverTimer_.stop();
    const int current = table_.CurrentIndex();
    if (current < 0)
        return;
    // A read of the previous mouse stops before the layout loads another model's profiles.
    abort_.store(true);
    const DeviceSlot slot = table_.Get(current);
    Log("OnFindDeviceOK: cid=%x,mid=%x,pid=%04x", unsigned(slot.CID), unsigned(slot.MID), unsigned(slot.PID));
    link_.SetHandles(slot.hCmd, slot.hNotify);
    RefreshLayout();
    if (windowShown_)
        link_.TellDrvStatus(1);
    StartProfileRead();
}

void DeviceSession::RefreshLayout()
{
    if (const DeviceDescription* device = CurrentDevice()) {
        Log("RefreshLayout for 0x%x, cid=%x,mid=%x", unsigned(device->Sensor), unsigned(device->CID),
            unsigned(device->MID));
    }
    LoadPro();
    // One small read: the mouse's current DPI level.
    uint8_t level[2] = {};
    g_nCurDpiLevel.store(link_.ReadEEPROM(eeprom::kCurrentDpiLevel, level, 2) ? DpiLevelFromMouse(level[0]) : -1);
    emit deviceChanged();
}

void DeviceSession::ReadCurCfgThread()
{
    Log("ReadCurCfgThread Start");
    SessionState& session = Session();
    // A read that is still running stops at its next check; this one waits for it.
    abort_.store(true);
    std::unique_lock readLock(session.readLock);
    session.syncFlag.store(false);
    abort_.store(false);

    const int p = link_.GetCurProfile();
    Log("Mouse profile is %d", p);
    if (p >= 0 && p < kProfiles) {
        if (const std::optional<ProfileRecord> target = ProfileCopy(p)) {
            session.working = *target;
            ProfileReadExtras extras;
            if (GetProfile(link_, abort_, session.working, extras)) {
                Log("Init Pro OK");
                if (CommitProfileRead(p, session.working, extras)) {
                    if (CurrentDevice() != nullptr)
                        SavePro();
                    QMetaObject::invokeMethod(this, &DeviceSession::OnSyncOk, Qt::QueuedConnection);
                }
            }
        }
    }
    session.syncFlag.store(true);
    QMetaObject::invokeMethod(this, [this] { emit readFinished(); }, Qt::QueuedConnection);
    readLock.unlock();
    Log("ReadCurCfgThread Exit");
}

void DeviceSession::OnSyncOk()
{
    Log("OnSyncOk");
    emit profileRead();
    GetPower();
    if (!powerTimer_.isActive())
        powerTimer_.start(timing.powerPollMs);
}

void DeviceSession::GetPower()
{
    if (!Connected())
        return;
    int level = 0, charging = 0;
    if (!link_.GetPower(level, charging))
        return;
    Log("GetPower: nPower=0x%x, bCharging=0x%x", unsigned(level), unsigned(charging));
    if (level > 100)
        return;
    emit powerRead(charging != 0, level);
}

void DeviceSession::OnDeviceBehavior(int value, int kind)
{
    Log("OnDeviceBehavior  Buffer= %x %x %x, nPopByte1=%d, lParam=%d", unsigned(value & 0xFF), 0u, 0u, Options().Pop,
        kind);
    const DeviceDescription* device = CurrentDevice();
    const bool haveProfile = CurrentProfileCopy().has_value();
    if (!haveProfile || device == nullptr || !Connected()) {
        Log("return.  pFile=0x%x, pSensorCfg=0x%x", unsigned(haveProfile), unsigned(device != nullptr));
        return;
    }
    switch (kind) {
    case 1:
        if (DpiLevelFromMouse(value, device->DpiLevelCount) >= 0) {
            g_nCurDpiLevel.store(value);
            emit dpiLevelChanged(value);
        }
        break;
    case 2:
        emit pollingRateChanged(value);
        if (const auto rate = PollingRateOfByte(uint8_t(value)))
            EditCurrentProfile([&](ProfileRecord& p) { p.pollingRate = *rate; });
        break;
    case 3: {
        const int64_t now = tickCount();
        const int64_t since = now - resetTime_;
        Log("nTick= %lld, m_nResetTickCount= %lld, nSub=%lld", static_cast<long long>(now),
            static_cast<long long>(resetTime_), static_cast<long long>(since));
        if (!resetNoted_ || since >= timing.resetWindowMs)
            StartProfileRead();
        else
            Log("this is reset notify, do not process");
        break;
    }
    case 4:
        if (device->ShowMainEffect != 0)
            ReadLightingEvent(kind);
        break;
    case 5:
        if (device->ShowLogoEffect != 0)
            ReadLightingEvent(kind);
        break;
    case 6:
        if (device->ShowDpiLED != 0)
            ReadLightingEvent(kind);
        break;
    default:
        break;
    }
}

void DeviceSession::ReadLightingEvent(int kind)
{
    QThread::msleep(uint32_t(timing.lightEventPauseMs));
    uint8_t bytes[kLogoLightBytes] = {};
    switch (kind) {
    case 4:
        if (!link_.ReadEEPROM(eeprom::kMainLight, bytes, kMainLightBytes))
            return;
        EditCurrentProfile([&](ProfileRecord& p) {
            EEPROM_To_MainRGB(std::span<const uint8_t, kMainLightBytes>(bytes, kMainLightBytes), p.mainLight);
        });
        emit lightingChanged();
        break;
    case 5:
        if (!link_.ReadEEPROM(eeprom::kLogoLight, bytes, kLogoLightBytes))
            return;
        EditCurrentProfile([&](ProfileRecord& p) {
            EEPROM_To_LogoRGB(std::span<const uint8_t, kLogoLightBytes>(bytes, kLogoLightBytes), p.logoLight);
        });
        emit lightingChanged();
        break;
    default: {
        if (!link_.ReadEEPROM(eeprom::kDpiEffect, bytes, kDpiEffectBytes))
            return;
        const DpiEffect effect = DecodeDpiEffect(std::span<const uint8_t, kDpiEffectBytes>(bytes, kDpiEffectBytes));
        EditCurrentProfile([&](ProfileRecord& p) {
            p.dpiEffectMode = effect.mode;
            p.dpiEffectSpeed = effect.speed;
            p.dpiEffectParameter = effect.parameter;
        });
        emit dpiLightingChanged();
        break;
    }
    }
}

}  // namespace zorvan

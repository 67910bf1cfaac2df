#include "profile/device_session.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "device/eeprom_map.h"
#include "device/post_to_thread.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_defaults.h"
#include "profile/profile_read.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <thread>

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

    // The worker, the read threads and the exchange runner report on their own threads; the
    // news reaches the window on this one (all through PostToThread, which orders the posts).
    worker_.SetProgressCallback(
        [this](int percent) { PostToThread(this, [this, percent] { emit progress(percent); }); });
    worker_.SetDoneCallback([this](const ApplyRequest& request, bool ok) {
        lastApplyOk_.store(ok);
        if (request.flags & apply::kProgress)
            PostToThread(this, [this] { emit progressEnded(); });
    });
}

DeviceSession::~DeviceSession()
{
    worker_.Stop();
    // The exchanges still queued are made (the window status told at exit reaches the mouse);
    // their results are no longer delivered.
    runner_.Stop();
    abort_.store(true);
    readThreads_.JoinAll();
}

template <typename Result>
void DeviceSession::Exchange(std::function<Result()> exchange, std::function<void(const Result&)> deliver)
{
    const auto handOver = [this, deliver](const Result& result) {
        if (deliver)
            PostToThread(this, [deliver, result] { deliver(result); });
    };
    if (!runner_.Post([exchange = std::move(exchange), handOver] { handOver(exchange()); }))
        handOver(Result{});
}

void DeviceSession::AfterExchanges(std::function<void()> then)
{
    Exchange<bool>([] { return true; }, [then = std::move(then)](bool) { then(); });
}

void DeviceSession::Complete(const Done& done, bool ok)
{
    if (done)
        PostToThread(this, [done, ok] { done(ok); });
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
    return !Profiles().syncFlag.load() || pendingReads_ > 0;
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
        Exchange<bool>([this, shown] { return link_.TellDrvStatus(uint8_t(shown)); }, {});
}

bool DeviceSession::SettingsChangeAllowed()
{
    if (Reading()) {
        ShowText("tc_adv_str15");
        return false;
    }
    const AppOptions& options = Options();
    if (table_.AnyCommandHandle()) {
        // A page asks before every change, so the answer cannot wait: while the worker writes,
        // the link state would wait for the whole write, and the writes show the mouse linked.
        if (options.ApplyNow == 0 || options.GoWithNoDev != 0 || worker_.Busy() || link_.GetConnectStatus() == 1)
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
    NoteLightingEdit(edit.request);
    if (Options().ApplyNow != 0)
        PostToWorker(edit.request);
    return true;
}

void DeviceSession::NoteLightingEdit(const ApplyRequest& request)
{
    if ((request.flags & apply::kLighting) == 0)
        return;
    for (size_t zone = 0; zone < lightingEdits_.size(); ++zone) {
        if (request.data & (1u << zone))
            ++lightingEdits_[zone];
    }
}

void DeviceSession::ApplyLighting(const Edit& edit, Done done)
{
    if (!edit.IsChanged() || Options().ApplyNow == 0) {
        Complete(done, Apply(edit));
        return;
    }
    // The lighting page asks after a short pause whether the mouse takes lighting changes now.
    // The request is posted right after the answer, before any exchange asked for later (a
    // profile switch waits for the writes posted before it).
    NoteLightingEdit(edit.request);
    const int pauseMs = timing.lightEventPauseMs;
    const ApplyRequest request = edit.request;
    Exchange<std::optional<bool>>(
        [this, pauseMs, request]() -> std::optional<bool> {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            int refused = 0;
            const bool locked = link_.GetLightingLock(refused) && refused != 0;
            if (!locked)
                PostToWorker(request);
            return locked;
        },
        [done](const std::optional<bool>& locked) {
            if (locked.value_or(false))
                ShowText("tc_adv_str29");
            if (done)
                done(locked.has_value() && !*locked);
        });
}

void DeviceSession::SelectProfile(int index, Done done)
{
    Exchange<bool>(
        [this, index] {
            // Requests posted before the switch belong to the profile that was active: a switch
            // in the middle of a write would send the rest of it to the new profile.
            worker_.WaitIdle();
            return link_.SetCurProfile(index);
        },
        [this, done](bool switched) {
            if (!switched) {
                Log("SetCurProfile Err");
            } else {
                // The mouse also reports the switch as an event; a read started by it aborts this one.
                StartProfileRead();
            }
            if (done)
                done(switched);
        });
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
        ProfileState& state = Profiles();
        std::lock_guard lock(state.profileLock);
        if (ProfileRecord* first = state.profiles.At(0)) {
            zorvan::ResetProfileToDefaults(*first);
            state.profiles.SetCurrent(0);
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
    // The read counts as running from now on (the settings-change check refuses), but it
    // starts behind the exchanges already asked for: the take-over's level read and window
    // status reach the mouse first, and readStarted() follows their results.
    ++pendingReads_;
    AfterExchanges([this] {
        emit readStarted();
        readThreads_.Reap();
        readThreads_.Start([this] { ReadCurCfgThread(); });
    });
}

void DeviceSession::Exit()
{
    discovery_.StopFindTimer();
    if (CurrentDevice() != nullptr) {
        SaveLoadedProfiles();
        SaveCID();
    }
}

bool DeviceSession::WaitApplied(std::chrono::milliseconds timeout)
{
    return worker_.WaitIdle(timeout) && lastApplyOk_.load();
}

bool DeviceSession::Post(const ApplyRequest& request)
{
    NoteLightingEdit(request);
    return PostToWorker(request);
}

bool DeviceSession::PostToWorker(const ApplyRequest& request)
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
        TellDrvStatus(1);
    StartProfileRead();
}

void DeviceSession::RefreshLayout()
{
    if (const DeviceDescription* device = CurrentDevice()) {
        Log("RefreshLayout for 0x%x, cid=%x,mid=%x", unsigned(device->Sensor), unsigned(device->CID),
            unsigned(device->MID));
    }
    LoadProfilesOfCurrentModel();
    // One small read: the mouse's current DPI level.
    Exchange<std::optional<uint8_t>>(
        [this]() -> std::optional<uint8_t> {
            uint8_t level[2] = {};
            if (!link_.ReadEEPROM(eeprom::kCurrentDpiLevel, level, 2))
                return std::nullopt;
            return level[0];
        },
        [this](const std::optional<uint8_t>& level) {
            g_nCurDpiLevel.store(level ? DpiLevelFromMouse(*level) : -1);
            emit deviceChanged();
        });
}

void DeviceSession::LoadProfilesOfCurrentModel()
{
    // The profiles in memory hold every local edit since the last save (key sets 1 and 2, names,
    // pointer settings, edits made while ApplyNow is 0): a take-over of the same model (the
    // mouse plugged back, the receiver paired again) keeps them instead of reloading the store.
    // Another model's store is loaded only after the old model's profiles are saved to theirs.
    const DeviceDescription* device = CurrentDevice();
    const std::optional<ModelIds> loaded = LoadedStoreModel();
    if (device != nullptr && loaded == ModelIds{device->CID, device->MID})
        return;
    if (loaded)
        SaveProfileStore(*loaded);
    LoadPro();
}

void DeviceSession::ReadCurCfgThread()
{
    Log("ReadCurCfgThread Start");
    ProfileState& state = Profiles();
    // A read that is still running stops at its next check; this one waits for it.
    abort_.store(true);
    std::unique_lock readLock(state.readLock);
    state.syncFlag.store(false);
    abort_.store(false);
    StartKeepingReports();

    const int p = link_.GetCurProfile();
    Log("Mouse profile is %d", p);
    if (p >= 0 && p < kProfiles) {
        if (const std::optional<ProfileRecord> target = ProfileCopy(p)) {
            state.working = *target;
            ProfileReadExtras extras;
            if (GetProfile(link_, abort_, state.working, extras)) {
                Log("Init Pro OK");
                if (CommitProfileRead(p, state.working, extras)) {
                    if (CurrentDevice() != nullptr)
                        SaveLoadedProfiles();
                    PostToThread(this, [this] { OnSyncOk(); });
                }
            }
        }
    }
    StopKeepingReports();
    state.syncFlag.store(true);
    PostToThread(this, [this] {
        --pendingReads_;
        emit readFinished();
    });
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
    struct Reading {
        int level = 0;
        int charging = 0;
    };
    Exchange<std::optional<Reading>>(
        [this]() -> std::optional<Reading> {
            Reading reading;
            if (!link_.GetPower(reading.level, reading.charging))
                return std::nullopt;
            return reading;
        },
        [this](const std::optional<Reading>& reading) {
            if (!reading)
                return;
            Log("GetPower: nPower=0x%x, bCharging=0x%x", unsigned(reading->level), unsigned(reading->charging));
            if (reading->level > 100)
                return;
            emit powerRead(reading->charging != 0, reading->level);
        });
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
        // A level the model does not have is ignored: the current level stays what it was.
        if (value >= 0 && value < std::min(device->DpiLevelCount, kDpiLevels)) {
            SetDpiLevelFromMouse(value);
            emit dpiLevelChanged(value);
        } else {
            Log("DPI level event %d is not one of the %d levels: ignored", value,
                std::min(device->DpiLevelCount, kDpiLevels));
        }
        break;
    case 2:
        emit pollingRateChanged(value);
        if (const auto rate = PollingRateOfByte(uint8_t(value)))
            EditCurrentProfileFromMouse([rate = *rate](ProfileRecord& p) { p.pollingRate = rate; });
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
    // The event's area: main lighting, logo lighting or the DPI lighting effect.
    const uint16_t address = kind == 4 ? eeprom::kMainLight : kind == 5 ? eeprom::kLogoLight : eeprom::kDpiEffect;
    const int length = kind == 4 ? kMainLightBytes : kind == 5 ? kLogoLightBytes : kDpiEffectBytes;
    const int pauseMs = timing.lightEventPauseMs;
    // The zone's bit in a lighting request; a change of the zone made after this event (while
    // its read waited) is newer than what the read brings back, and stays.
    const auto zone =
        size_t(std::countr_zero(kind == 4 ? apply::kLightMain : kind == 5 ? apply::kLightLogo : apply::kLightDpi));
    const unsigned editsBefore = lightingEdits_[zone];
    using Bytes = std::array<uint8_t, kLogoLightBytes>;
    Exchange<std::optional<Bytes>>(
        [this, address, length, pauseMs]() -> std::optional<Bytes> {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            Bytes bytes{};
            if (!link_.ReadEEPROM(address, bytes.data(), length))
                return std::nullopt;
            return bytes;
        },
        [this, kind, zone, editsBefore](const std::optional<Bytes>& read) {
            if (!read)
                return;
            if (lightingEdits_[zone] != editsBefore) {
                Log("Lighting event %d not taken: changed on the page since", kind);
                return;
            }
            // Decoded once, onto the zone as the profile holds it (a zone switched off keeps its
            // colour, speed and brightness); the read's commit may apply the result again.
            const std::optional<ProfileRecord> current = CurrentProfileCopy();
            if (!current)
                return;
            const uint8_t* bytes = read->data();
            switch (kind) {
            case 4: {
                LightingBlock main = current->mainLight;
                EEPROM_To_MainRGB(std::span<const uint8_t, kMainLightBytes>(bytes, kMainLightBytes), main);
                EditCurrentProfileFromMouse([main](ProfileRecord& p) { p.mainLight = main; });
                emit lightingChanged();
                break;
            }
            case 5: {
                LightingBlock logo = current->logoLight;
                EEPROM_To_LogoRGB(std::span<const uint8_t, kLogoLightBytes>(bytes, kLogoLightBytes), logo);
                EditCurrentProfileFromMouse([logo](ProfileRecord& p) { p.logoLight = logo; });
                emit lightingChanged();
                break;
            }
            default: {
                const DpiEffect effect =
                    DecodeDpiEffect(std::span<const uint8_t, kDpiEffectBytes>(bytes, kDpiEffectBytes));
                EditCurrentProfileFromMouse([effect](ProfileRecord& p) {
                    p.dpiEffectMode = effect.mode;
                    p.dpiEffectSpeed = effect.speed;
                    p.dpiEffectParameter = effect.parameter;
                });
                emit dpiLightingChanged();
                break;
            }
            }
        });
}

}  // namespace zorvan

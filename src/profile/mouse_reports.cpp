#include "profile/mouse_reports.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/eeprom_map.h"
#include "device/event_dispatch.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_state.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <optional>
#include <span>
#include <thread>

namespace zorvan {

using ProfileEdit = std::function<void(ProfileRecord&)>;
using AreaBytes = std::array<uint8_t, 10>;  // room for the longest area

// A lighting area the mouse reports changed.
struct ReportedArea {
    MouseEventKind kind;
    uint16_t address;
    int length;
    uint32_t zone;                         // its bit in a lighting request
    int32_t DeviceDescription::*shown;     // the model shows the zone
    void (MouseReports::*changed)();       // the signal that tells the pages
    // The bytes read back, decoded once onto the zone as `current` holds it (a zone switched
    // off keeps its colour, speed and brightness), as an edit the read's commit may apply again.
    ProfileEdit (*decode)(const AreaBytes& bytes, const ProfileRecord& current);
};

namespace {

ProfileEdit MainLightEdit(const AreaBytes& bytes, const ProfileRecord& current)
{
    LightingBlock main = current.mainLight;
    EEPROM_To_MainRGB(std::span<const uint8_t, 8>(bytes.data(), 8), main);
    return [main](ProfileRecord& p) { p.mainLight = main; };
}

ProfileEdit LogoLightEdit(const AreaBytes& bytes, const ProfileRecord& current)
{
    LightingBlock logo = current.logoLight;
    EEPROM_To_LogoRGB(std::span<const uint8_t, 10>(bytes.data(), 10), logo);
    return [logo](ProfileRecord& p) { p.logoLight = logo; };
}

ProfileEdit DpiEffectEdit(const AreaBytes& bytes, const ProfileRecord&)
{
    const DpiEffect effect = DecodeDpiEffect(std::span<const uint8_t, 6>(bytes.data(), 6));
    return [effect](ProfileRecord& p) {
        p.dpiEffectMode = effect.mode;
        p.dpiEffectSpeed = effect.speed;
        p.dpiEffectParameter = effect.parameter;
    };
}

constexpr ReportedArea kReportedAreas[] = {
    {kEventMainLight, eeprom::kMainLight, 8, apply::kLightMain, &DeviceDescription::ShowMainEffect,
     &MouseReports::lightingChanged, &MainLightEdit},
    {kEventLogoLight, eeprom::kLogoLight, 10, apply::kLightLogo, &DeviceDescription::ShowLogoEffect,
     &MouseReports::lightingChanged, &LogoLightEdit},
    {kEventDpiLight, eeprom::kDpiEffect, 6, apply::kLightDpi, &DeviceDescription::ShowDpiLED,
     &MouseReports::dpiLightingChanged, &DpiEffectEdit},
};

const ReportedArea* AreaOf(int kind)
{
    const auto* area = std::find_if(std::begin(kReportedAreas), std::end(kReportedAreas),
                                    [kind](const ReportedArea& a) { return a.kind == kind; });
    return area == std::end(kReportedAreas) ? nullptr : area;
}

size_t ZoneIndex(uint32_t zone)
{
    return size_t(std::countr_zero(zone));
}

}  // namespace

MouseReports::MouseReports(CUSBDriver& link, ShortExchanges& exchanges, const SessionTiming& timing,
                           const std::function<int64_t()>& tickCount, QObject* parent)
    : QObject(parent), link_(link), exchanges_(exchanges), timing_(timing), tickCount_(tickCount)
{
}

void MouseReports::OnDeviceBehavior(int value, int kind)
{
    Log("OnDeviceBehavior  Buffer= %x %x %x, nPopByte1=%d, lParam=%d", unsigned(value & 0xFF), 0u, 0u, Options().Pop,
        kind);
    const DeviceDescription* device = CurrentDevice();
    const bool haveProfile = CurrentProfileCopy().has_value();
    if (!haveProfile || device == nullptr || link_.Cmd() == nullptr) {
        Log("return.  pFile=0x%x, pSensorCfg=0x%x", unsigned(haveProfile), unsigned(device != nullptr));
        return;
    }
    switch (kind) {
    case kEventDpiLevel: {
        // A level the model does not have is ignored: the current level stays what it was.
        const int levels = std::min(device->DpiLevelCount, kDpiLevels);
        if (value >= 0 && value < levels) {
            SetDpiLevelFromMouse(value);
            emit dpiLevelChanged(value);
        } else {
            Log("DPI level event %d is not one of the %d levels: ignored", value, levels);
        }
        break;
    }
    case kEventPollingRate:
        emit pollingRateChanged(value);
        // A code without a rate of its own leaves the profile's rate.
        if (const auto rate = PollingRateOfByte(uint8_t(value)))
            EditCurrentProfileFromMouse([rate = *rate](ProfileRecord& p) { p.pollingRate = rate; });
        break;
    case kEventProfile:
        OnProfileEvent();
        break;
    default:
        if (const ReportedArea* area = AreaOf(kind); area != nullptr && device->*(area->shown) != 0)
            ReadBack(*area);
        break;
    }
}

void MouseReports::OnProfileEvent()
{
    const int64_t now = tickCount_();
    const int64_t since = now - resetTime_;
    Log("nTick= %lld, m_nResetTickCount= %lld, nSub=%lld", static_cast<long long>(now),
        static_cast<long long>(resetTime_), static_cast<long long>(since));
    if (!resetNoted_ || since >= timing_.resetWindowMs)
        emit profileSwitched();
    else
        Log("this is reset notify, do not process");
}

void MouseReports::NoteReset()
{
    resetTime_ = tickCount_();
    resetNoted_ = true;
}

void MouseReports::NotePageEdit(const ApplyRequest& request)
{
    if ((request.flags & apply::kLighting) == 0)
        return;
    for (size_t zone = 0; zone < pageEdits_.size(); ++zone) {
        if (request.data & (1u << zone))
            ++pageEdits_[zone];
    }
}

void MouseReports::ReadBack(const ReportedArea& area)
{
    const int pauseMs = timing_.lightEventPauseMs;
    const size_t zone = ZoneIndex(area.zone);
    const unsigned editsBefore = pageEdits_[zone];
    exchanges_.Make<std::optional<AreaBytes>>(
        [this, &area, pauseMs]() -> std::optional<AreaBytes> {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            AreaBytes bytes{};
            if (!link_.ReadEEPROM(area.address, bytes.data(), area.length))
                return std::nullopt;
            return bytes;
        },
        [this, &area, zone, editsBefore](const std::optional<AreaBytes>& read) {
            if (!read)
                return;
            if (pageEdits_[zone] != editsBefore) {
                Log("Lighting event %d not taken: changed on the page since", int(area.kind));
                return;
            }
            const std::optional<ProfileRecord> current = CurrentProfileCopy();
            if (!current)
                return;
            EditCurrentProfileFromMouse(area.decode(*read, *current));
            emit(this->*area.changed)();
        });
}

}  // namespace zorvan

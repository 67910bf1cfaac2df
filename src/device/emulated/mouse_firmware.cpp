#include "device/emulated/mouse_firmware.h"

#include "device/report_frame.h"

#include <algorithm>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

// Main lighting mode bytes in the order the lighting button steps through them.
constexpr uint8_t kLightModeCycle[] = {4, 2, 1, 0, 3, 5, 7};

uint8_t PairValue(const eeprom::ProfileImage& image, uint16_t address)
{
    return image[address];
}

void WritePair(eeprom::ProfileImage& image, uint16_t address, uint8_t value)
{
    image[address] = value;
    image[address + 1u] = eeprom::PairCheck(value);
}

HidReport EventReport(uint8_t flags)
{
    return MakeInputReport({{0, kEventBody}, {kBodyEventFlags, flags}});
}

}  // namespace

std::optional<MouseButton> MouseButtonByName(std::string_view name)
{
    constexpr std::pair<std::string_view, MouseButton> kNames[] = {{"dpi-up", MouseButton::kDpiUp},
                                                                   {"dpi-down", MouseButton::kDpiDown},
                                                                   {"profile-next", MouseButton::kProfileNext},
                                                                   {"light-mode", MouseButton::kLightMode}};
    for (const auto& [text, button] : kNames)
        if (text == name)
            return button;
    return std::nullopt;
}

HidReport MakeInputReport(std::initializer_list<std::pair<size_t, uint8_t>> bodyBytes)
{
    HidReport report{};
    report[0] = kInputReportId;
    for (const auto& [index, value] : bodyBytes)
        if (index < kBodyLength)
            report[1 + index] = value;
    return report;
}

MouseFirmware::MouseFirmware(uint8_t cid, uint8_t mid, const eeprom::ProfileImages& factory) : factory_(factory)
{
    state_.cid = cid;
    state_.mid = mid;
    state_.profiles = factory;
}

void MouseFirmware::SetSinks(ReportSink reports, PlugSink plug)
{
    std::lock_guard lock(mutex_);
    reports_ = std::move(reports);
    plug_ = std::move(plug);
}

void MouseFirmware::Emit(const HidReport& report, std::chrono::milliseconds delay)
{
    if (reports_ && plugged_)
        reports_(report, delay);
}

void MouseFirmware::EmitEvent(const HidReport& event)
{
    if (state_.linked)
        Emit(event, latency_);
}

bool MouseFirmware::HandleFeatureReport(const uint8_t* data, size_t length)
{
    std::lock_guard lock(mutex_);
    if (!plugged_)
        return false;
    ++requests_;
    HidReport request{};
    std::copy(data, data + std::min(length, kHidReportLength), request.begin());
    requestLog_.push_back(request);
    if (requestLog_.size() > kRequestLogLength)
        requestLog_.pop_front();
    if (unplugAt_ != 0 && requests_ >= unplugAt_) {
        unplugAt_ = 0;
        plugged_ = false;
        if (plug_)
            plug_(false);
        return false;
    }
    if (length < kHidReportLength || request[0] != kFeatureReportId)
        return true;

    FaultKind fault{};
    const bool faulty = !faults_.empty();
    if (faulty) {
        fault = faults_.front();
        faults_.pop_front();
    }
    const uint8_t command = request[1 + kPayloadCommand];
    if (faulty && fault == FaultKind::kNoAnswer)
        return true;
    if (faulty && fault == FaultKind::kRefuse) {
        Emit(MakeInputReport({{kBodyCommand, command}, {kBodyStatus, kStatusRefused}}), latency_);
        return true;
    }
    std::vector<HidReport> events;
    const bool forget = faulty && fault == FaultKind::kForgetWrite && command == kCmdWriteEEPROM;
    const eeprom::ProfileImage kept = forget ? Active() : eeprom::ProfileImage{};
    Reply reply = Execute(request, events);
    if (forget)
        Active() = kept;
    if (faulty && fault == FaultKind::kGarbage)
        reply.report = Garbage(command);
    if (reply.send)
        Emit(reply.report, faulty && fault == FaultKind::kLateAnswer ? lateDelay_ : latency_);
    for (const HidReport& event : events)
        EmitEvent(event);
    return true;
}

MouseFirmware::Reply MouseFirmware::Execute(const HidReport& request, std::vector<HidReport>& events)
{
    const uint8_t* payload = request.data() + 1;
    const uint8_t command = payload[kPayloadCommand];
    const uint16_t address = uint16_t(payload[kPayloadAddressHigh] << 8 | payload[kPayloadAddressLow]);
    const uint8_t length = payload[kPayloadLength];
    const uint8_t* data = payload + kPayloadData;

    Reply reply;
    HidReport& answer = reply.report;
    answer[0] = kInputReportId;
    uint8_t* body = answer.data() + 1;
    body[kBodyCommand] = command;
    std::copy(payload + kPayloadAddressHigh, payload + kPayloadData, body + 2);  // echo of address and length
    uint8_t status = 0;
    const bool memoryRangeOk = length >= 1 && length <= kMaxDataBytes && address + length <= eeprom::kProfileSize;

    if (FrameCheckByte(request) != request[kHidReportLength - 1]) {
        status = kStatusRefused;  // the probe gets this answer too: any answer marks the interface
    } else if (!state_.linked && command != kCmdGetConnectStatus) {
        status = kStatusRefused;  // the receiver has no mouse to ask
    } else {
        switch (command) {
        case kCmdCheckPsd:
            body[9] = state_.cid;
            body[10] = state_.mid;
            break;
        case kCmdTellDrvStatus:
            state_.windowShown = data[0] != 0;
            break;
        case kCmdGetConnectStatus:
            body[kBodyData] = state_.linked ? 1 : 0;
            break;
        case kCmdGetPower:
            body[kBodyData] = state_.battery;
            body[kBodyData + 1] = state_.charging ? 1 : 0;
            break;
        case kCmdWriteEEPROM:
            if (memoryRangeOk)
                std::copy(data, data + length, Active().begin() + address);
            else
                status = kStatusRefused;
            break;
        case kCmdReadEEPROM:
            if (memoryRangeOk)
                std::copy(Active().begin() + address, Active().begin() + address + length, body + kBodyData);
            else
                status = kStatusRefused;
            break;
        case kCmdResetDevice:
            events.push_back(ResetLocked());
            break;
        case kCmdGetCurProfile:
            body[kBodyData] = state_.activeProfile;
            break;
        case kCmdLightingLock:
            body[kBodyData] = state_.lightingLocked ? 0 : 1;
            break;
        case kCmdSetCurProfile:
            if (data[0] < eeprom::kOnBoardProfiles)
                state_.activeProfile = data[0];
            else
                status = kStatusRefused;
            break;
        default:
            status = kStatusRefused;
            break;
        }
    }
    body[kBodyStatus] = status;
    answer[kHidReportLength - 1] = FrameCheckByte(answer);
    return reply;
}

HidReport MouseFirmware::Garbage(uint8_t command)
{
    HidReport report{};
    report[0] = kInputReportId;
    for (size_t i = 1; i < kHidReportLength; ++i) {
        noise_ ^= noise_ << 13;
        noise_ ^= noise_ >> 17;
        noise_ ^= noise_ << 5;
        report[i] = uint8_t(noise_);
    }
    // Never the answer that is awaited, never an event.
    uint8_t other = uint8_t(command + 0x40);
    if (other == kEventBody)
        ++other;
    report[1 + kBodyCommand] = other;
    return report;
}

void MouseFirmware::Press(MouseButton button)
{
    std::lock_guard lock(mutex_);
    eeprom::ProfileImage& image = Active();
    switch (button) {
    case MouseButton::kDpiUp:
    case MouseButton::kDpiDown: {
        uint8_t count = PairValue(image, eeprom::kDpiLevelCount);
        if (count < 1 || count > 8)
            count = 1;
        const uint8_t current = uint8_t(PairValue(image, eeprom::kCurrentDpiLevel) % count);
        const uint8_t next =
            button == MouseButton::kDpiUp ? uint8_t((current + 1) % count) : uint8_t((current + count - 1) % count);
        WritePair(image, eeprom::kCurrentDpiLevel, next);
        HidReport event = EventReport(0x01);
        event[1 + 6] = next;
        event[1 + 7] = PairValue(image, eeprom::kPollingRate) & 0x0F;
        EmitEvent(event);
        break;
    }
    case MouseButton::kProfileNext: {
        state_.activeProfile = uint8_t((state_.activeProfile + 1) % eeprom::kOnBoardProfiles);
        HidReport event = EventReport(0x04);
        event[1 + 9] = state_.activeProfile;
        EmitEvent(event);
        break;
    }
    case MouseButton::kLightMode: {
        const uint8_t* found = std::find(std::begin(kLightModeCycle), std::end(kLightModeCycle), image[eeprom::kMainLight]);
        const size_t at = found == std::end(kLightModeCycle) ? 0 : size_t(found - std::begin(kLightModeCycle));
        image[eeprom::kMainLight] = kLightModeCycle[(at + 1) % std::size(kLightModeCycle)];
        image[eeprom::kMainLight + 6u] = eeprom::GroupCheck(image.data() + eeprom::kMainLight, 6);
        EmitEvent(EventReport(0x80));
        break;
    }
    }
}

void MouseFirmware::SetBattery(int percent, bool charging)
{
    std::lock_guard lock(mutex_);
    state_.battery = uint8_t(std::clamp(percent, 0, 255));
    state_.charging = charging;
    HidReport event = EventReport(kBatteryEventFlag);
    event[1 + 10] = state_.battery;
    event[1 + 11] = charging ? 1 : 0;
    EmitEvent(event);
}

void MouseFirmware::SetLinked(bool linked)
{
    std::lock_guard lock(mutex_);
    state_.linked = linked;
}

void MouseFirmware::SetLightingLocked(bool locked)
{
    std::lock_guard lock(mutex_);
    state_.lightingLocked = locked;
}

void MouseFirmware::SetPlugged(bool plugged)
{
    std::lock_guard lock(mutex_);
    if (plugged_ == plugged)
        return;
    plugged_ = plugged;
    if (plug_)
        plug_(plugged);
}

HidReport MouseFirmware::ResetLocked()
{
    state_.profiles = factory_;
    state_.activeProfile = 0;
    HidReport event = EventReport(0x04);
    event[1 + 9] = state_.activeProfile;
    return event;
}

void MouseFirmware::ResetToFactory()
{
    std::lock_guard lock(mutex_);
    EmitEvent(ResetLocked());
}

void MouseFirmware::SetFactoryImages(const eeprom::ProfileImages& factory)
{
    std::lock_guard lock(mutex_);
    factory_ = factory;
}

void MouseFirmware::InjectFault(FaultKind kind, int count)
{
    std::lock_guard lock(mutex_);
    for (int i = 0; i < count; ++i)
        faults_.push_back(kind);
}

void MouseFirmware::UnplugAtRequest(int n)
{
    std::lock_guard lock(mutex_);
    unplugAt_ = n > 0 ? requests_ + n : 0;
}

void MouseFirmware::SetAnswerLatency(std::chrono::milliseconds latency)
{
    std::lock_guard lock(mutex_);
    latency_ = latency;
}

void MouseFirmware::SetLateAnswerDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    lateDelay_ = delay;
}

FirmwareState MouseFirmware::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void MouseFirmware::Restore(const FirmwareState& state)
{
    std::lock_guard lock(mutex_);
    state_ = state;
    state_.activeProfile = uint8_t(state.activeProfile % eeprom::kOnBoardProfiles);
}

bool MouseFirmware::Plugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

int MouseFirmware::RequestCount() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<HidReport> MouseFirmware::RequestLog() const
{
    std::lock_guard lock(mutex_);
    return {requestLog_.begin(), requestLog_.end()};
}

std::vector<uint8_t> MouseFirmware::Memory(int profile, int address, int length) const
{
    std::lock_guard lock(mutex_);
    if (profile < 0 || profile >= eeprom::kOnBoardProfiles || address < 0 || address >= eeprom::kProfileSize ||
        length <= 0)
        return {};
    const int end = std::min(address + length, int(eeprom::kProfileSize));
    const eeprom::ProfileImage& image = state_.profiles[size_t(profile)];
    return {image.begin() + address, image.begin() + end};
}

}  // namespace zorvan

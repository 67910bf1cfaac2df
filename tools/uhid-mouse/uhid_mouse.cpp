#include "uhid-mouse/uhid_mouse.h"

#include "app/log.h"

#include <algorithm>
#include <cerrno>

namespace zorvan {

UhidMouse::UhidMouse(std::shared_ptr<MouseFirmware> firmware, const UhidIds& ids,
                     std::array<UhidPort*, kUhidRoles> ports)
    : firmware_(std::move(firmware)), ids_(ids), ports_(ports)
{
    firmware_->SetSinks(
        [this](const HidReport& report, std::chrono::milliseconds delay) {
            due_.emplace(Clock::now() + delay, report);
        },
        [this](bool plugged) { OnPlugChanged(plugged); });
}

UhidMouse::~UhidMouse()
{
    firmware_->SetSinks({}, {});
}

void UhidMouse::Start()
{
    if (firmware_->Plugged())
        Create();
}

void UhidMouse::Stop()
{
    Destroy();
}

bool UhidMouse::Write(UhidRole role, const uhid_event& event)
{
    if (ports_[size_t(role)]->Write(event))
        return true;
    Log("uhid mouse: the kernel refused event %u for the %s (errno %d)", unsigned(event.type), UhidDeviceName(role),
        errno);
    return false;
}

void UhidMouse::OnPlugChanged(bool plugged)
{
    if (plugged)
        Create();
    else
        Destroy();
}

void UhidMouse::Create()
{
    if (created_)
        return;
    created_ = true;
    for (const UhidRole role : kAllUhidRoles)
        Write(role, UhidCreateEvent(role, ids_));
}

void UhidMouse::Destroy()
{
    if (!created_)
        return;
    created_ = false;
    due_.clear();  // what the mouse had not sent yet goes with it
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    for (const UhidRole role : kAllUhidRoles)
        Write(role, destroy);
}

void UhidMouse::OnEvent(UhidRole role, const uhid_event& event)
{
    if (!created_)
        return;  // left over from devices that are gone
    switch (event.type) {
    case UHID_SET_REPORT:
        OnSetReport(role, event.u.set_report);
        break;
    case UHID_GET_REPORT: {
        // Nothing here is read back by feature report: refused, as the device would stall it.
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = event.u.get_report.id;
        reply.u.get_report_reply.err = EIO;
        Write(role, reply);
        break;
    }
    default:
        break;  // start, stop, open, close and output reports need nothing
    }
}

void UhidMouse::OnSetReport(UhidRole role, const uhid_set_report_req& request)
{
    const bool feature = request.rtype == UHID_FEATURE_REPORT;
    uhid_event reply{};
    reply.type = UHID_SET_REPORT_REPLY;
    reply.u.set_report_reply.id = request.id;
    reply.u.set_report_reply.err = feature && role != UhidRole::kNotify ? 0 : EIO;
    // The transfer completes before the firmware acts on it, as on the wire: a mouse that
    // goes away with this request leaves the host waiting for an answer that never comes.
    Write(role, reply);
    if (feature && role == UhidRole::kCommand) {
        const size_t length = std::min<size_t>(request.size, sizeof request.data);
        firmware_->HandleFeatureReport(request.data, length);
    }
}

std::optional<UhidMouse::Clock::time_point> UhidMouse::SendDue(Clock::time_point now)
{
    while (!due_.empty() && due_.begin()->first <= now) {
        const HidReport report = due_.begin()->second;
        due_.erase(due_.begin());
        uhid_event input{};
        input.type = UHID_INPUT2;
        input.u.input2.size = uint16_t(report.size());
        std::copy(report.begin(), report.end(), input.u.input2.data);
        Write(UhidRole::kNotify, input);
    }
    if (due_.empty())
        return std::nullopt;
    return due_.begin()->first;
}

}  // namespace zorvan

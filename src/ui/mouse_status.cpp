#include "ui/mouse_status.h"

#include "app/configuration.h"
#include "device/access_message.h"
#include "text/language_texts.h"
#include "ui/device_port.h"

namespace zorvan {

MouseStatus StatusOf(const DevicePort& port, std::optional<bool> linked)
{
    if (port.Connected()) {
        if (linked == false)
            return {MouseState::kMouseOff, GetText("tc_state_mouseoff"), QString()};
        const DeviceDescription* device = port.CurrentDevice();
        return {MouseState::kReady, device ? Config().ModelName(*device) : QString(), QString()};
    }
    if (const std::vector<std::string> denied = port.DeniedNodes(); !denied.empty()) {
        QString text = GetText("tc_state_noaccess");
        text.replace(QStringLiteral("%s"), QString::fromStdString(denied.front()));
        return {MouseState::kNoAccess, text, AccessDeniedMessage(denied)};
    }
    if (port.ReceiverWithoutMouse())
        return {MouseState::kMouseOff, GetText("tc_state_mouseoff"), QString()};
    return {MouseState::kNoMouse, GetText("tc_state_nomouse"), QString()};
}

}  // namespace zorvan

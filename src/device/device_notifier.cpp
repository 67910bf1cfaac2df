#include "device/device_notifier.h"

#include "app/log.h"
#include "device/post_to_thread.h"

namespace zorvan {

DeviceNotifier::DeviceNotifier(QObject* parent) : QObject(parent) {}

void DeviceNotifier::PostMouseEvent(int value, int kind)
{
    std::lock_guard lock(mutex_);
    if (pending_.size() >= kMaxPendingEvents) {
        if (!dropping_)
            Log("Mouse events arrive faster than they are handled; dropping them");
        dropping_ = true;
        return;
    }
    dropping_ = false;
    pending_.emplace_back(value, kind);
    if (deliveryPosted_)
        return;
    deliveryPosted_ = true;
    PostToThread(this, [this] { DeliverMouseEvents(); });
}

void DeviceNotifier::DeliverMouseEvents()
{
    std::deque<std::pair<int, int>> events;
    {
        std::lock_guard lock(mutex_);
        events.swap(pending_);
        deliveryPosted_ = false;
    }
    for (const auto& [value, kind] : events)
        emit mouseEvent(value, kind);
}

void DeviceNotifier::PostDeviceIdentified(int slot)
{
    PostToThread(this, [this, slot] { emit deviceIdentified(slot); });
}

void DeviceNotifier::PostIdentificationEnded()
{
    PostToThread(this, [this] { emit identificationEnded(); });
}

}  // namespace zorvan

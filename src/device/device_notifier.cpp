#include "device/device_notifier.h"

#include "app/log.h"

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
    QMetaObject::invokeMethod(this, &DeviceNotifier::DeliverMouseEvents, Qt::QueuedConnection);
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
    QMetaObject::invokeMethod(this, [this, slot] { emit deviceIdentified(slot); }, Qt::QueuedConnection);
}

void DeviceNotifier::PostIdentificationEnded()
{
    QMetaObject::invokeMethod(this, [this] { emit identificationEnded(); }, Qt::QueuedConnection);
}

}  // namespace zorvan

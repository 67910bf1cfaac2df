#pragma once
// Where the device link's notifications meet the program: queued Qt signals, emitted on the
// thread the notifier lives in (the user-interface thread). The mouse-event queue is bounded,
// so a mouse flooding events while that thread is busy costs no memory beyond it.
//
// The threads that post (reader and identification threads) must have ended before the
// notifier is destroyed (DeviceDiscovery::ClearThread sees to that).
#include "device/event_dispatch.h"

#include <QObject>

#include <deque>
#include <mutex>
#include <utility>

namespace zorvan {

class DeviceNotifier : public QObject, public EventSink {
    Q_OBJECT
public:
    static constexpr size_t kMaxPendingEvents = 64;

    explicit DeviceNotifier(QObject* parent = nullptr);

    // A notification the mouse sent by itself (value, kind); any thread.
    void PostMouseEvent(int value, int kind) override;
    // A device slot was identified; any thread.
    void PostDeviceIdentified(int slot);
    // An identification thread ended (identified or not); any thread.
    void PostIdentificationEnded();

signals:
    // The mouse reported an event: `kind` 1..6 (MouseEventKind), `value` as the kind says.
    void mouseEvent(int value, int kind);
    // A device was identified; `slot` is its device table slot.
    void deviceIdentified(int slot);
    void identificationEnded();

private:
    void DeliverMouseEvents();

    std::mutex mutex_;
    std::deque<std::pair<int, int>> pending_;
    bool deliveryPosted_ = false;
    bool dropping_ = false;
};

}  // namespace zorvan

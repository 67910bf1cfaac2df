#pragma once
// The battery poll: asks the mouse for its battery level after every successful profile read
// and then every 30 s while the program runs, and reports readings of at most 100 percent.
#include "device/usb_driver.h"
#include "profile/short_exchanges.h"

#include <QObject>
#include <QTimer>

namespace zorvan {

class BatteryPoll : public QObject {
    Q_OBJECT
public:
    BatteryPoll(CUSBDriver& link, ShortExchanges& exchanges, QObject* parent = nullptr);

    // Asks now (only with a mouse), and from now on every `periodMs` unless already polling.
    void PollAndKeepPolling(int periodMs);

signals:
    // A battery reading (level at most 100).
    void powerRead(bool charging, int level);
    // With each poll: whether the mouse answers behind its receiver (false: switched off or
    // out of range).
    void linkRead(bool linked);

private:
    void GetPower();

    CUSBDriver& link_;
    ShortExchanges& exchanges_;
    QTimer timer_;
};

}  // namespace zorvan

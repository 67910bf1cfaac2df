#include "profile/battery_poll.h"

#include "app/log.h"


namespace zorvan {

BatteryPoll::BatteryPoll(CUSBDriver& link, ShortExchanges& exchanges, QObject* parent)
    : QObject(parent), link_(link), exchanges_(exchanges)
{
    timer_.setSingleShot(false);
    connect(&timer_, &QTimer::timeout, this, &BatteryPoll::GetPower);
}

void BatteryPoll::PollAndKeepPolling(int periodMs)
{
    GetPower();
    if (!timer_.isActive())
        timer_.start(periodMs);
}

void BatteryPoll::GetPower()
{
    if (link_.Cmd() == nullptr)
        return;
    struct Reading {
        int level = 0;
        int charging = 0;
        bool answered = false;  // the mouse answered the battery query
        int linkStatus = -1;    // when it did not: the receiver's link status, -1 unknown
    };
    exchanges_.Make<Reading>(
        [this] {
            Reading reading;
            reading.answered = link_.GetPower(reading.level, reading.charging);
            // A receiver answers for a mouse that is switched off or out of range by refusing;
            // its link status tells the two apart from a missing answer.
            if (!reading.answered)
                reading.linkStatus = link_.GetConnectStatus();
            return reading;
        },
        [this](const Reading& reading) {
            if (!reading.answered) {
                if (reading.linkStatus >= 0)
                    emit linkRead(reading.linkStatus == 1);
                return;
            }
            emit linkRead(true);
            Log("GetPower: nPower=0x%x, bCharging=0x%x", unsigned(reading.level), unsigned(reading.charging));
            // The mouse's byte may hold anything; a level is a percentage.
            if (reading.level > 100)
                return;
            emit powerRead(reading.charging != 0, reading.level);
        });
}

}  // namespace zorvan

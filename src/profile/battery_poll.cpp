#include "profile/battery_poll.h"

#include "app/log.h"

#include <optional>

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
    };
    exchanges_.Make<std::optional<Reading>>(
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
            // The mouse's byte may hold anything; a level is a percentage.
            if (reading->level > 100)
                return;
            emit powerRead(reading->charging != 0, reading->level);
        });
}

}  // namespace zorvan

#pragma once
// The device session's short exchanges with the mouse (window status, battery, profile switch,
// lighting lock, the small EEPROM reads): made one after another on the exchange runner, so the
// user-interface thread never waits for the device lock or the mouse's answer, with each result
// handed back to that thread as a queued call, in the order the exchanges were asked for.
#include "device/post_to_thread.h"
#include "profile/exchange_runner.h"

#include <QObject>

#include <functional>
#include <utility>

namespace zorvan {

class ShortExchanges {
public:
    // Results are delivered on the thread of `context`, which must outlive the deliveries it
    // receives (Qt drops the calls queued for an object that is gone).
    explicit ShortExchanges(QObject* context) : context_(context) {}

    // Runs `exchange` on the runner, then `deliver` with its result on the context's thread.
    // When the runner refuses it (queue full, stopped), nothing is sent and `deliver` gets
    // Result{}, which every caller takes as the failure.
    template <typename Result>
    void Make(std::function<Result()> exchange, std::function<void(const Result&)> deliver)
    {
        const auto handOver = [context = context_, deliver](const Result& result) {
            if (deliver)
                PostToThread(context, [deliver, result] { deliver(result); });
        };
        if (!runner_.Post([exchange = std::move(exchange), handOver] { handOver(exchange()); }))
            handOver(Result{});
    }

    // Runs `then` on the context's thread once every exchange asked for before has been made.
    void AfterPrevious(std::function<void()> then)
    {
        Make<bool>([] { return true; }, [then = std::move(then)](bool) { then(); });
    }

    // Makes what is still queued (the window status told at exit reaches the mouse) and ends the
    // runner; results not yet delivered are dropped with their context.
    void Stop() { runner_.Stop(); }

private:
    QObject* context_;
    ExchangeRunner runner_;
};

}  // namespace zorvan

#pragma once
// The read scheduler: when the device session reads the mouse's active profile. It holds the
// take-over delay (a device identified is taken over 300 ms later, once for a burst of
// identifications), the profile-read threads (one read at a time: a new one makes the running
// one stop at its next check and waits for it), the abort flag and the count of reads asked for
// whose end has not been reported yet.
//
// Lives on the user-interface thread; its signals are emitted there.
#include "device/thread_set.h"
#include "device/usb_driver.h"
#include "profile/profile_read.h"
#include "profile/short_exchanges.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <optional>

namespace zorvan {

class ReadScheduler : public QObject {
    Q_OBJECT
public:
    ReadScheduler(CUSBDriver& link, ShortExchanges& exchanges, QObject* parent = nullptr);
    ~ReadScheduler() override;

    // A device was identified: takeOverDue() after `delayMs`, unless a take-over is already due.
    void DeviceIdentified(int delayMs);
    // A new read of the mouse's active profile. It counts as asked for from now on (Pending()),
    // and starts behind the short exchanges already asked for: readStarted() when its thread
    // starts, readFinished() at its end, readSucceeded() before that when it was taken over.
    void StartRead();
    // What the reads started from now on read (the whole profile unless told otherwise). A
    // partial read is committed without saving the store and reported by partReadSucceeded().
    void SetScope(const ReadScope& scope) { scope_ = scope; }
    // A running read stops at its next check (before another model's profiles are loaded).
    void AbortRunning() { abort_.store(true); }
    // A read was asked for and has not reported its end.
    bool Pending() const { return pending_ > 0; }
    // The bytes the last read found in the mouse's active profile, when it read the whole
    // profile and was taken over; none once another read is asked for or ForgetLastRead() was
    // called since that read was asked for.
    const std::optional<ProfileBytes>& LastReadBytes() const { return lastRead_; }
    // The mouse may hold something else now (it reported a change, or was written to).
    void ForgetLastRead();
    // Program exit: the running read stops, every read thread is joined.
    void Stop();

signals:
    void takeOverDue();
    void readStarted();
    // "OnSyncOk": the read was taken over into the current profile and the store saved.
    void readSucceeded();
    // A partial read (SetScope) was taken over into the current profile; the store is not saved.
    void partReadSucceeded();
    void readFinished();

private:
    void ReadCurCfgThread(const ReadScope& scope);

    CUSBDriver& link_;
    ShortExchanges& exchanges_;
    QTimer takeOverTimer_;
    ThreadSet threads_;
    std::atomic<bool> abort_{false};
    ReadScope scope_;
    int pending_ = 0;
    std::optional<ProfileBytes> lastRead_;
    bool keepLastRead_ = false;  // nothing made the newest read's bytes old since it was asked for
};

}  // namespace zorvan

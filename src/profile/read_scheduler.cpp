#include "profile/read_scheduler.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/post_to_thread.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/profile_store.h"

#include <mutex>
#include <optional>

namespace zorvan {

ReadScheduler::ReadScheduler(CUSBDriver& link, ShortExchanges& exchanges, QObject* parent)
    : QObject(parent), link_(link), exchanges_(exchanges)
{
    takeOverTimer_.setSingleShot(true);
    connect(&takeOverTimer_, &QTimer::timeout, this, &ReadScheduler::takeOverDue);
}

ReadScheduler::~ReadScheduler()
{
    Stop();
}

void ReadScheduler::DeviceIdentified(int delayMs)
{
    if (!takeOverTimer_.isActive())
        takeOverTimer_.start(delayMs);
}

void ReadScheduler::StartRead()
{
    // The read counts as running from now on (the settings-change check refuses), but it starts
    // behind the exchanges already asked for: the take-over's level read and window status reach
    // the mouse first, and readStarted() follows their results.
    ++pending_;
    lastRead_.reset();
    keepLastRead_ = true;
    exchanges_.AfterPrevious([this, scope = scope_] {
        emit readStarted();
        threads_.Reap();
        threads_.Start([this, scope] { ReadCurCfgThread(scope); });
    });
}

void ReadScheduler::ForgetLastRead()
{
    lastRead_.reset();
    keepLastRead_ = false;
}

void ReadScheduler::Stop()
{
    abort_.store(true);
    threads_.JoinAll();
}

void ReadScheduler::ReadCurCfgThread(const ReadScope& scope)
{
    Log("ReadCurCfgThread Start");
    ProfileState& state = Profiles();
    // A read that is still running stops at its next check; this one waits for it.
    abort_.store(true);
    std::unique_lock readLock(state.readLock);
    state.syncFlag.store(false);
    abort_.store(false);
    StartKeepingReports();

    const int p = link_.GetCurProfile();
    Log("Mouse profile is %d", p);
    if (p >= 0 && p < ProfileList::kCount) {
        if (const std::optional<ProfileRecord> target = ProfileCopy(p)) {
            state.working = *target;
            ProfileReadExtras extras;
            ProfileBytes bytes(p);
            if (GetProfilePart(link_, abort_, scope, state.working, extras, &bytes)) {
                Log("Init Pro OK");
                if (!scope.whole) {
                    if (CommitPartialRead(p, scope, state.working, extras))
                        PostToThread(this, [this] { emit partReadSucceeded(); });
                } else if (CommitProfileRead(p, state.working, extras)) {
                    if (CurrentDevice() != nullptr)
                        SaveLoadedProfiles();
                    PostToThread(this, [this, bytes] {
                        // Bytes older than a read asked for since are not kept.
                        if (pending_ == 1 && keepLastRead_)
                            lastRead_ = bytes;
                        emit readSucceeded();
                    });
                }
            }
        }
    }
    StopKeepingReports();
    state.syncFlag.store(true);
    PostToThread(this, [this] {
        --pending_;
        emit readFinished();
    });
    readLock.unlock();
    Log("ReadCurCfgThread Exit");
}

}  // namespace zorvan

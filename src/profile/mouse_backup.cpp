#include "profile/mouse_backup.h"

#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "app/log.h"
#include "device/usb_driver.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_library.h"
#include "profile/orphaned_keys.h"
#include "profile/profile_import_fit.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"
#include "profile/write_verify.h"

#include <algorithm>
#include <array>
#include <vector>

namespace zorvan {
namespace {

constexpr int kProfiles = eeprom::kOnBoardProfiles;

// The profiles in the order they are visited: the active one last, so it is active at the end.
std::array<int, kProfiles> VisitOrder(int active)
{
    std::array<int, kProfiles> order{};
    int n = 0;
    for (int p = 0; p < kProfiles; ++p) {
        if (p != active)
            order[size_t(n++)] = p;
    }
    order[size_t(n)] = active;
    return order;
}

// Switches the mouse between its profiles and back to the one that was active.
class ProfileSwitcher {
public:
    explicit ProfileSwitcher(CUSBDriver& link) : link_(link), original_(link.GetCurProfile()), active_(original_) {}
    ~ProfileSwitcher()
    {
        if (Known() && active_ != original_ && !link_.SetCurProfile(original_))
            Log("Whole mouse: switching back to profile %d failed", original_);
    }
    bool Known() const { return original_ >= 0 && original_ < kProfiles; }
    int Original() const { return original_; }
    bool MakeActive(int profile)
    {
        if (profile == active_)
            return true;
        if (!link_.SetCurProfile(profile)) {
            Log("SetCurProfile Err");
            return false;
        }
        active_ = profile;
        return true;
    }

private:
    CUSBDriver& link_;
    int original_;
    int active_;
};

QString ProfileName(int profile, int visit)
{
    return QStringLiteral("on-board profile %1 (%2 of %3)").arg(profile + 1).arg(visit + 1).arg(kProfiles);
}

// The macro a key brings: its library macro when the mouse's slot holds that macro's events
// (its full name and options travel), else the macro as read from the slot under `freeId`.
StMacro KeyMacro(const ProfileReadExtras::DeviceMacro& read, uint32_t freeId)
{
    if (read.keyMacroId != 0) {
        const uint32_t id = read.keyMacroId & 0xFFFFFF;
        const std::vector<StMacro> library = Macros().Snapshot(std::span(&id, 1));
        if (!library.empty() && SameEventsOnTheMouse(library.front(), read.macro))
            return library.front();
    }
    StMacro macro = read.macro;
    macro.magic = kMacroMagic;
    macro.id = freeId;
    macro.flags = 0;
    return macro;
}

// Gives every macro key of key set 0 its macro in `profile.macros`, each macro once. False when
// a key's macro is neither on the mouse nor in the library.
bool CollectMacros(BackupProfile& profile, const ProfileReadExtras& extras, int index, QString& error)
{
    ProfileRecord& record = profile.record;
    // Ids for macros read from a slot with no library macro: unique within the profile.
    uint32_t nextFree = 0xF00000u | uint32_t(index << 8);
    const auto held = [&profile](uint32_t id) {
        return std::any_of(profile.macros.begin(), profile.macros.end(), [id](const StMacro& m) { return m.id == id; });
    };
    for (const ProfileReadExtras::DeviceMacro& read : extras.macros) {
        KeyAssignment* key = record.KeyAt(0, read.key);
        if (key == nullptr || key->Major() != kClassMacro)
            continue;
        while (held(nextFree))
            ++nextFree;
        const StMacro macro = KeyMacro(read, nextFree);
        if (!held(macro.id))
            profile.macros.push_back(macro);
        key->dwMacroID = macro.id;
    }
    for (int k = 0; k < kKeysPerSet; ++k) {
        KeyAssignment& key = *record.KeyAt(0, k);
        const uint32_t id = key.dwMacroID & 0xFFFFFF;
        if (key.Major() != kClassMacro || held(id))
            continue;
        const std::vector<StMacro> library = Macros().Snapshot(std::span(&id, 1));
        if (library.empty()) {
            error = QStringLiteral("key %1 uses macro 0x%2, which is neither on the mouse nor in the macro library")
                        .arg(k + 1)
                        .arg(id, 0, 16);
            return false;
        }
        profile.macros.push_back(library.front());
    }
    return true;
}

// Profile `index` read from the mouse, or decoded again from `bytes` a read of it kept.
bool ReadOne(CUSBDriver& link, const std::atomic<bool>& abort, int index, const ProfileBytes* bytes,
             BackupProfile& profile, QString& error)
{
    const std::optional<ProfileRecord> local = ProfileCopy(index);
    if (!local) {
        error = QStringLiteral("there are no local profiles of this model");
        return false;
    }
    profile.record = *local;
    // A local key bound to a macro that left the library would reach the mouse as an empty slot
    // (it is reset whenever it is written): the backup holds its default instead.
    if (const DeviceDescription* device = CurrentDevice())
        ResetOrphanedKeys(profile.record, *device, Macros());
    ProfileReadExtras extras;
    const bool read = bytes != nullptr ? GetProfileFrom(*bytes, profile.record, extras)
                                       : GetProfile(link, abort, profile.record, extras);
    if (!read) {
        error = QStringLiteral("reading it failed");
        return false;
    }
    const int level = DpiLevelFromMouse(extras.currentDpiLevel, profile.record.LevelCount());
    profile.currentDpiLevel = std::max(level, 0);
    return CollectMacros(profile, extras, index, error);
}

}  // namespace

std::optional<MouseBackup> ReadWholeMouse(CUSBDriver& link, const std::atomic<bool>& abort, const WholeMouseStep& step,
                                          QString& error, const ProfileBytes* activeRead)
{
    const DeviceDescription* device = CurrentDevice();
    ProfileSwitcher switcher(link);
    if (device == nullptr || !switcher.Known()) {
        error = QStringLiteral("the mouse did not say which on-board profile is active");
        return std::nullopt;
    }
    MouseBackup backup;
    backup.cid = uint8_t(device->CID);
    backup.mid = uint8_t(device->MID);
    backup.sensor = device->Sensor;
    backup.activeProfile = switcher.Original();
    // Bytes of another profile than the active one are of no use.
    if (activeRead != nullptr && activeRead->Profile() != switcher.Original())
        activeRead = nullptr;
    const std::array<int, kProfiles> order = VisitOrder(switcher.Original());
    for (int visit = 0; visit < kProfiles; ++visit) {
        const int p = order[size_t(visit)];
        QString problem;
        if (!switcher.MakeActive(p))
            problem = QStringLiteral("the mouse did not make it active");
        else
            ReadOne(link, abort, p, p == switcher.Original() ? activeRead : nullptr, backup.profiles[size_t(p)],
                    problem);
        if (!problem.isEmpty()) {
            error = QStringLiteral("%1: %2").arg(ProfileName(p, visit), problem);
            Log("Backup failed: %s", qPrintable(error));
            return std::nullopt;
        }
        if (step)
            step(QStringLiteral("%1: read, %2 macro(s)").arg(ProfileName(p, visit)).arg(backup.profiles[size_t(p)].macros.size()));
    }
    return backup;
}

bool BackupFitsModel(const MouseBackup& backup, const DeviceDescription& device, QString& error)
{
    if (backup.cid == uint8_t(device.CID) && backup.mid == uint8_t(device.MID) && backup.sensor == device.Sensor)
        return true;
    error = QStringLiteral("it is a backup of the model %1:%2 (sensor 0x%3); this mouse is %4:%5 (sensor 0x%6)")
                .arg(backup.cid, 2, 16, QLatin1Char('0'))
                .arg(backup.mid, 2, 16, QLatin1Char('0'))
                .arg(backup.sensor, 0, 16)
                .arg(device.CID, 2, 16, QLatin1Char('0'))
                .arg(device.MID, 2, 16, QLatin1Char('0'))
                .arg(device.Sensor, 0, 16);
    return false;
}

bool WriteWholeMouse(CUSBDriver& link, const MouseBackup& backup, const RestoreOptions& options,
                     const WholeMouseStep& step, QString& error)
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr || !BackupFitsModel(backup, *device, error))
        return false;
    ProfileSwitcher switcher(link);
    if (!switcher.Known()) {
        error = QStringLiteral("the mouse did not say which on-board profile is active");
        return false;
    }
    // Every area of the profile, as a profile import writes it; the system pointer settings
    // belong to the computer, not to the four profiles.
    const uint32_t flags = ImportRequest(*device, options.underPid).flags & ~apply::kSystemPointer;
    const std::array<int, kProfiles> order = VisitOrder(switcher.Original());
    for (int visit = 0; visit < kProfiles; ++visit) {
        const int p = order[size_t(visit)];
        const BackupProfile& source = backup.profiles[size_t(p)];
        WriteSnapshot snapshot;
        snapshot.profile = source.record;
        // Key set 0 holds the keys the mouse had.
        snapshot.profile.currentKeySet = 0;
        snapshot.currentDpiLevel = source.currentDpiLevel;
        snapshot.macros = source.macros;
        QString problem;
        WriteCheck check;
        size_t areas = 0;
        size_t bytes = 0;
        if (!switcher.MakeActive(p)) {
            problem = QStringLiteral("the mouse did not make it active");
        } else {
            WriteJournal journal;
            if (!WriteSettings(link, snapshot, flags, apply::kAll))
                problem = QStringLiteral("writing it failed");
            areas = journal.Writes().size();
            for (const EepromPatch& patch : journal.Writes())
                bytes += patch.bytes.size();
            if (problem.isEmpty() && options.writeCheck) {
                check = CheckWrites(link, journal.Writes());
                if (check.difference)
                    problem = QStringLiteral("the mouse holds something else at 0x%1 than was written")
                                  .arg(*check.difference, 4, 16, QLatin1Char('0'));
                else if (!check.ok)
                    problem = QStringLiteral("reading it back failed");
            }
        }
        if (!problem.isEmpty()) {
            error = QStringLiteral("%1: %2").arg(ProfileName(p, visit), problem);
            Log("Restore failed: %s", qPrintable(error));
            return false;
        }
        if (step)
            step(QStringLiteral("%1: %2 area(s), %3 bytes written%4")
                     .arg(ProfileName(p, visit))
                     .arg(areas)
                     .arg(bytes)
                     .arg(options.writeCheck ? QStringLiteral(", read back and checked") : QString()));
    }
    return true;
}

void TakeBackupIntoLocalProfiles(const MouseBackup& backup)
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    // The records are what the mouse holds now: the store takes them, whatever was read before.
    state.storeRecord.reset();
    for (int p = 0; p < kProfiles; ++p) {
        ProfileRecord* local = state.profiles.At(p);
        if (local == nullptr)
            continue;
        const uint32_t ownId = local->id;
        *local = backup.profiles[size_t(p)].record;
        local->id = ownId;
    }
}

}  // namespace zorvan

#include "profile/profile_store.h"

#include "app/configuration.h"
#include "app/log.h"
#include "macro/macro_files.h"
#include "profile/profile_defaults.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>

namespace zorvan {
namespace {

constexpr qsizetype kRecordsSize = qsizetype(sizeof(ProfileRecord)) * ProfileList::kCount;
static_assert(4 + kRecordsSize == kProfileStoreSize);

QString CidFile(const QString& dataDir)
{
    return dataDir + QStringLiteral("CID.dct");
}

uint32_t ReadU32(const char* bytes)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void AppendU32(QByteArray& bytes, uint32_t value)
{
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The stored current id and the four records; nothing when the store cannot be used.
bool ReadStore(const QString& path, uint32_t& currentId, std::array<ProfileRecord, ProfileList::kCount>& records)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        Log("LoadPro: open file err=%d", errno != 0 ? errno : int(file.error()));
        return false;
    }
    if (file.size() != kProfileStoreSize) {
        Log("LoadPro err: wrong size");
        return false;
    }
    const QByteArray bytes = file.read(kProfileStoreSize);
    if (bytes.size() != kProfileStoreSize) {
        Log("ReadFile err=%d", int(file.error()));
        return false;
    }
    currentId = ReadU32(bytes.constData());
    std::memcpy(records.data(), bytes.constData() + 4, size_t(kRecordsSize));
    return true;
}

}  // namespace

QString ProfileStoreName(int32_t cid, int32_t mid)
{
    return QString::asprintf("PRO_%02x%02x.dct", unsigned(cid), unsigned(mid));
}

void LoadCID(const QString& dataDir)
{
    Configuration& config = Config();
    int chosen = 0;
    QFile file(CidFile(dataDir));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(kCidFileSize);
        if (bytes.size() == kCidFileSize) {
            const int32_t cid = int32_t(ReadU32(bytes.constData()));
            const int32_t mid = int32_t(ReadU32(bytes.constData() + 4));
            for (int i = 0; i < kDeviceSlots; ++i) {
                const DeviceDescription& d = config.devices[size_t(i)];
                if (d.HoldsModel() && d.CID == cid && d.MID == mid) {
                    chosen = i;
                    break;
                }
            }
        }
    }
    config.SetCurrentDeviceIndex(chosen);
    const DeviceDescription& device = config.devices[size_t(chosen)];
    Log("LoadCID ok: cid=%02x, mid=%02x", unsigned(device.CID), unsigned(device.MID));
}

bool SaveCID(const QString& dataDir)
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr)
        return false;
    Log("SaveCID: cid=%02x, mid=%02x", unsigned(device->CID), unsigned(device->MID));
    QByteArray bytes;
    AppendU32(bytes, uint32_t(device->CID));
    AppendU32(bytes, uint32_t(device->MID));
    return MyCreateFile(CidFile(dataDir), bytes).Ok();
}

bool LoadPro(const QString& dataDir)
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr)
        return false;
    uint32_t currentId = 0;
    std::array<ProfileRecord, ProfileList::kCount> records{};
    const bool loaded = ReadStore(dataDir + ProfileStoreName(device->CID, device->MID), currentId, records);
    Config().CopyDefaultKeys();
    if (!loaded)
        currentId = 0;
    // A record that is not a profile (its magic wrong or its id 0) cannot be used: the writer
    // refuses a profile without id, so the mouse could never be written from it. It becomes a
    // new profile, the same as every record of a store that could not be read.
    bool allKept = loaded;
    const QString base = GetText("tc_msg35");
    for (int i = 0; i < ProfileList::kCount; ++i) {
        ProfileRecord& record = records[size_t(i)];
        if (loaded && record.IsValid())
            continue;
        if (loaded)
            Log("LoadPro err: record %d is not a profile (magic=0x%x, id=0x%x)", i, record.magic, record.id);
        record = MakeNewProfile(QStringLiteral("%1 %2").arg(base).arg(i + 1).toStdU16String());
        allKept = false;
    }
    {
        ProfileState& state = Profiles();
        std::lock_guard lock(state.profileLock);
        state.profiles.Assign(records, currentId);
        state.storeModel = ModelIds{device->CID, device->MID};
        state.storeRecord.reset();
    }
    Log("LoadPro ok: cid=%02x, mid=%02x", unsigned(device->CID), unsigned(device->MID));
    return allKept;
}

bool SavePro(const QString& dataDir)
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr)
        return false;
    return SaveProfileStore(ModelIds{device->CID, device->MID}, dataDir);
}

bool SaveLoadedProfiles(const QString& dataDir)
{
    if (const std::optional<ModelIds> model = LoadedStoreModel())
        return SaveProfileStore(*model, dataDir);
    return SavePro(dataDir);
}

bool SaveProfileStore(const ModelIds& model, const QString& dataDir)
{
    QByteArray bytes;
    {
        ProfileState& state = Profiles();
        std::lock_guard lock(state.profileLock);
        const ProfileRecord* current = state.profiles.Current();
        if (current == nullptr)
            return false;
        bytes.reserve(kProfileStoreSize);
        AppendU32(bytes, current->id);
        for (int i = 0; i < ProfileList::kCount; ++i) {
            // A partial read of the mouse stays out of the store (see ProfileState::storeRecord).
            const ProfileRecord* record = state.storeRecord && state.storeRecord->first == i ? &state.storeRecord->second
                                                                                              : state.profiles.At(i);
            bytes.append(reinterpret_cast<const char*>(record), sizeof(ProfileRecord));
        }
    }
    Log("SavePro: cid=%02x, mid=%02x", unsigned(model.cid), unsigned(model.mid));
    const FileWriteResult result = MyCreateFile(dataDir + ProfileStoreName(model.cid, model.mid), bytes);
    if (result.stage == FileWriteResult::kCreate)
        Log("SavePro: CreateFile err=%d", result.error);
    else if (result.stage == FileWriteResult::kWrite)
        Log("SavePro: WriteFile err=%d", result.error);
    return result.Ok();
}

}  // namespace zorvan

// The local profile store over arbitrary records: LoadPro takes the four records of
// "PRO_%02x%02x.dct" as they are, and everything that uses a profile must cope with what they
// hold: the bounded accessors, the encoding of a whole profile image, the whole-profile write to
// the mouse, and SavePro, which must give back the very bytes that were loaded.
#include "fuzz_world.h"

#include "app/configuration.h"
#include "app/paths.h"
#include "profile/apply_request.h"
#include "profile/factory_image.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

using namespace zorvan;

constexpr uint32_t kWholeProfile = 0x1FFFF & ~(apply::kProgress | apply::kSystemPointer | apply::kReset);

QByteArray WriteStore(const uint8_t* data, size_t size)
{
    QByteArray store(reinterpret_cast<const char*>(data), qsizetype(std::min(size, size_t(kProfileStoreSize))));
    store.resize(kProfileStoreSize, '\0');
    // A record that is not a profile is replaced by a new one, which takes 20 ms of id making
    // per record in the product; the fuzzer is kept to records that are profiles, whatever else
    // they hold (the replacement itself has its unit test).
    for (int i = 0; i < ProfileList::kCount; ++i) {
        ProfileRecord record{};
        char* at = store.data() + 4 + sizeof(ProfileRecord) * size_t(i);
        std::memcpy(&record, at, sizeof record);
        record.magic = kProfileMagic;
        record.id = record.id == 0 ? 1 : record.id;
        std::memcpy(at, &record, sizeof record);
    }
    const DeviceDescription& device = *CurrentDevice();
    fuzz::WriteDataFile(ProfileStoreName(device.CID, device.MID), store);
    return store;
}

void UseRecord(fuzz::DirectMouse& mouse, int index)
{
    {
        std::lock_guard lock(Profiles().profileLock);
        Profiles().profiles.SetCurrent(index);
    }
    const ProfileRecord record = *CurrentProfileCopy();
    fuzz::Expect(record.KeySetIndex() >= 0 && record.KeySetIndex() < kKeySets, "key set outside the tables");
    fuzz::Expect(record.LevelCount() >= 1 && record.LevelCount() <= kDpiLevels, "level count outside 1..8");
    fuzz::Expect(record.Name().size() <= size_t(kProfileNameUnits), "name beyond its field");
    for (int k = 0; k < kKeysPerSet; ++k)
        fuzz::Expect(record.CurrentKey(k) != nullptr, "a key of the current set is missing");
    (void)EncodeProfileImage(record, record.savedDpiLevel);
    g_nCurDpiLevel = record.savedDpiLevel;
    const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
    fuzz::Expect(snapshot.has_value(), "no snapshot of a loaded profile");
    WriteSettings(mouse.Link(), *snapshot, kWholeProfile, apply::kAll);
}

}  // namespace

// Input: model selector, then the store file (cut or padded to 8420 bytes).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    fuzz::SetUpWorld();
    fuzz::UseModel(data[0]);
    fuzz::ResetLibrary();
    const QByteArray store = WriteStore(data + 1, size - 1);
    fuzz::Expect(LoadPro(), "a store of profiles was not taken");

    fuzz::DirectMouse mouse(fuzz::FactoryImage());
    for (int i = 0; i < ProfileList::kCount; ++i)
        UseRecord(mouse, i);

    {
        std::lock_guard lock(Profiles().profileLock);
        Profiles().profiles.SetCurrent(0);
    }
    fuzz::Expect(SavePro(), "SavePro failed");
    const DeviceDescription& device = *CurrentDevice();
    QFile saved(Paths().dataDir + ProfileStoreName(device.CID, device.MID));
    fuzz::Expect(saved.open(QIODevice::ReadOnly), "saved store cannot be opened");
    const QByteArray bytes = saved.readAll();
    // The current id: record 0 is current now.
    fuzz::Expect(bytes.mid(4) == store.mid(4), "the records did not come back as they were");
    return 0;
}

// The whole-mouse backup reader over arbitrary files, and what a restore does with a file it
// takes: the four profiles written to a mouse and read back with the write check on. A file
// that reads is written back byte for byte by the writer; a restore either succeeds and the
// mouse can then be backed up, or fails with a message.
//
// Input: a control byte, then the file. Bit 0x80 of the control byte makes the file's size and
// checksum right before reading (so the checks behind them are reached), bit 0x40 also names
// the current model in its header; the low bits choose the model.
#include "fuzz_world.h"

#include "app/configuration.h"
#include "profile/backup_file.h"
#include "profile/mouse_backup.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace {

using namespace zorvan;

void Reseal(std::vector<uint8_t>& file, bool currentModel)
{
    if (file.size() < sizeof(BackupFileHeader))
        return;
    if (currentModel) {
        const DeviceDescription& device = *CurrentDevice();
        file[offsetof(BackupFileHeader, cid)] = uint8_t(device.CID);
        file[offsetof(BackupFileHeader, mid)] = uint8_t(device.MID);
        std::memcpy(file.data() + offsetof(BackupFileHeader, sensor), &device.Sensor, sizeof device.Sensor);
    }
    const uint32_t size = uint32_t(file.size());
    std::memcpy(file.data() + offsetof(BackupFileHeader, size), &size, sizeof size);
    std::memset(file.data() + offsetof(BackupFileHeader, checksum), 0, 4);
    const uint32_t crc = Crc32(file);
    std::memcpy(file.data() + offsetof(BackupFileHeader, checksum), &crc, sizeof crc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > kBackupMaxSize + 1)
        return 0;
    fuzz::SetUpWorld();
    fuzz::UseModel(data[0] & 0x3F);
    fuzz::ResetSessionProfiles();
    fuzz::ResetLibrary();
    std::vector<uint8_t> file(data + 1, data + size);
    if (data[0] & 0x80)
        Reseal(file, (data[0] & 0x40) != 0);

    QString error;
    const std::optional<MouseBackup> backup = DecodeBackup(file, error);
    fuzz::Expect(backup.has_value() == error.isEmpty(), "a refusal without a message, or a message with a backup");
    if (!backup)
        return 0;
    fuzz::Expect(EncodeBackup(*backup) == file, "a backup read does not write back to the same bytes");

    fuzz::DirectMouse mouse(fuzz::FactoryImage());
    QString restoreError;
    const bool restored = WriteWholeMouse(mouse.Link(), *backup, RestoreOptions{}, {}, restoreError);
    fuzz::Expect(restored == restoreError.isEmpty(), "a restore's outcome and its message disagree");
    if (restored) {
        std::atomic<bool> abort{false};
        QString readError;
        fuzz::Expect(ReadWholeMouse(mouse.Link(), abort, {}, readError).has_value(), "a restored mouse cannot be backed up");
    }
    return 0;
}

#include "device/emulated/firmware_state.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace zorvan {
namespace {

constexpr char kMagic[8] = {'Z', 'V', 'E', 'M', 'U', 'S', 'T', '1'};

}  // namespace

std::vector<uint8_t> EncodeFirmwareState(const FirmwareState& state)
{
    StateFileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.cid = state.cid;
    header.mid = state.mid;
    header.activeProfile = state.activeProfile;
    header.battery = state.battery;
    header.charging = state.charging;
    header.linked = state.linked;
    header.lightingLocked = state.lightingLocked;
    header.windowShown = state.windowShown;
    std::vector<uint8_t> bytes(kStateFileSize);
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, state.profiles.data(), sizeof state.profiles);
    return bytes;
}

std::optional<FirmwareState> DecodeFirmwareState(const uint8_t* data, size_t size)
{
    if (data == nullptr || size != kStateFileSize)
        return std::nullopt;
    StateFileHeader header;
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.activeProfile >= eeprom::kOnBoardProfiles)
        return std::nullopt;
    FirmwareState state;
    state.cid = header.cid;
    state.mid = header.mid;
    state.activeProfile = header.activeProfile;
    state.battery = header.battery;
    state.charging = header.charging != 0;
    state.linked = header.linked != 0;
    state.lightingLocked = header.lightingLocked != 0;
    state.windowShown = header.windowShown != 0;
    std::memcpy(state.profiles.data(), data + sizeof header, sizeof state.profiles);
    return state;
}

bool SaveFirmwareStateFile(const QString& path, const FirmwareState& state, QString* error)
{
    const std::vector<uint8_t> bytes = EncodeFirmwareState(state);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()) ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<FirmwareState> LoadFirmwareStateFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(qint64(kStateFileSize) + 1);
    auto state = DecodeFirmwareState(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    if (!state && error)
        *error = QStringLiteral("not an emulated mouse state file");
    return state;
}

}  // namespace zorvan
